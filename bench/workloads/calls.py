def add3(a, b, c):
    r = a + b
    r = r + c
    return r
s = 0
for i in range(3000000):
    s = add3(s, i, 1)
    s = s % 1000003
print(s)
