local s, x = 0.0, 1.0
for _ = 1, 1000000 do
  s = s + math.sqrt(x)
  x = x + 1.0
end
print(string.format("%d", math.floor(s)))
