local n = 120
local a, b, c = {}, {}, {}
for k = 0, n * n - 1 do
  a[k] = k % 7
  b[k] = k % 5
  c[k] = 0
end
for i = 0, n - 1 do
  for j = 0, n - 1 do
    local s = 0
    for k = 0, n - 1 do
      s = s + a[i * n + k] * b[k * n + j]
    end
    c[i * n + j] = s
  end
end
local t = 0
for k = 0, n * n - 1 do t = t + c[k] end
print(t)
