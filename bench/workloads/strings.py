s = ""
for i in range(200000):
    s = s + str(i % 10)
l = len(s)
n = 0
for k in range(200000):
    n = n + ord(s[k])
print(l)
print(n)
