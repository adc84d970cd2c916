local s, x = 0.0, 0.5
for _ = 1, 1000000 do
  local y = 1.0 - x
  y = y * y
  local z = 2.0 + y
  local r = math.sqrt(z)
  local q = 1.0 / r
  local u = x / 3.0
  q = q - u
  s = s + q
  x = x + 0.000001
end
print(string.format("%d", math.floor(s * 1000.0)))
