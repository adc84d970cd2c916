local n = 1000000
local a = {}
for i = 0, n - 1 do a[i] = 0 end
local count = 0
for i = 2, n - 1 do
  if a[i] == 0 then
    count = count + 1
    local j = i * i
    while j < n do
      a[j] = 1
      j = j + i
    end
  end
end
print(count)
