local h, m, x = 2166136261, 4294967295, 0
for i = 0, 1999999 do
  local a = h << 5
  local b = h >> 2
  local t = a ~ b
  t = t ~ i
  h = h ~ t
  h = h & m
  local n = ~h
  n = n & 255
  local s = n << 11
  h = h ~ s
  local o = h & 1
  s = h >> 13
  s = s | o
  h = h ~ s
  x = x ~ h
end
print(h)
print(x)
