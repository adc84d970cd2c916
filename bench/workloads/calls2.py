def mix(a, b):
    r = a * 31
    r = r + b
    r = r % 1000003
    return r
def mix3(a, b, c):
    r = mix(a, b)
    r = mix(r, c)
    return r
def pick(a, b, c, d):
    if a > b:
        return c
    return d
s = 1
for i in range(600000):
    s = mix(s, i)
    s = mix3(s, i, 7)
    k = pick(s, 500000, 3, 5)
    s = s + k
print(s)
