local n = 200
local g = {}
for k = 0, n * n - 1 do g[k] = k % 10 end
for _ = 1, 40 do
  for i = 1, n - 1 do
    local row = i * n
    for j = 1, n - 1 do
      local idx = row + j
      local v = g[idx - n] + g[idx - 1]
      v = v + g[idx]
      g[idx] = v % 1000003
    end
  end
end
local t = 0
for k = 0, n * n - 1 do t = t + g[k] end
print(t)
