local function add3(a, b, c)
  local r = a + b
  r = r + c
  return r
end
local s = 0
for i = 0, 2999999 do
  s = add3(s, i, 1)
  s = s % 1000003
end
print(s)
