n = 1000000
a = [0] * n
count = 0
for i in range(2, n):
    if a[i] == 0:
        count = count + 1
        j = i * i
        while j < n:
            a[j] = 1
            j = j + i
print(count)
