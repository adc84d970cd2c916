import math
s, x = 0.0, 1.0
for _ in range(1000000):
    s = s + math.sqrt(x)
    x = x + 1.0
print(int(s))
