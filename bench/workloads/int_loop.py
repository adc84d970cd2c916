s = 0
for i in range(10000000):
    t = i * i
    t = t % 7
    s = s + t
print(s)
