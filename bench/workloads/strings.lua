local parts = {}
for i = 0, 199999 do parts[#parts + 1] = tostring(i % 10) end
local s = table.concat(parts)
local l = #s
local n = 0
for k = 1, 200000 do n = n + string.byte(s, k) end
print(l)
print(n)
