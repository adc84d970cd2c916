n = 200
g = [k % 10 for k in range(n * n)]
for _ in range(40):
    for i in range(1, n):
        row = i * n
        for j in range(1, n):
            idx = row + j
            v = g[idx - n] + g[idx - 1]
            v = v + g[idx]
            g[idx] = v % 1000003
print(sum(g))
