local function mix(a, b)
  local r = a * 31
  r = r + b
  r = r % 1000003
  return r
end
local function mix3(a, b, c)
  local r = mix(a, b)
  r = mix(r, c)
  return r
end
local function pick(a, b, c, d)
  if a > b then return c end
  return d
end
local s = 1
for i = 0, 599999 do
  s = mix(s, i)
  s = mix3(s, i, 7)
  local k = pick(s, 500000, 3, 5)
  s = s + k
end
print(s)
