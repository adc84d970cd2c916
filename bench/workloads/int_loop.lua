local s = 0
for i = 0, 9999999 do
  local t = i * i
  t = t % 7
  s = s + t
end
print(s)
