h, m, x = 2166136261, 4294967295, 0
for i in range(2000000):
    a = h << 5
    b = h >> 2
    t = a ^ b
    t = t ^ i
    h = h ^ t
    h = h & m
    n = ~h
    n = n & 255
    s = n << 11
    h = h ^ s
    o = h & 1
    s = h >> 13
    s = s | o
    h = h ^ s
    x = x ^ h
print(h)
print(x)
