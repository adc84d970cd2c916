import math
s, x = 0.0, 0.5
for _ in range(1000000):
    y = 1.0 - x
    y = y * y
    z = 2.0 + y
    r = math.sqrt(z)
    q = 1.0 / r
    u = x / 3.0
    q = q - u
    s = s + q
    x = x + 0.000001
print(int(s * 1000.0))
