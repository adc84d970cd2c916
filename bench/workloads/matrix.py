n = 120
a = [k % 7 for k in range(n * n)]
b = [k % 5 for k in range(n * n)]
c = [0] * (n * n)
for i in range(n):
    for j in range(n):
        s = 0
        for k in range(n):
            s = s + a[i * n + k] * b[k * n + j]
        c[i * n + j] = s
print(sum(c))
