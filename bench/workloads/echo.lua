local x = 7
for i = 0, 29999 do
  print(i)
  x = x * 75
  x = x % 65537
  print(x)
  print(0 - x)
  print("tick")
  print("")
end
