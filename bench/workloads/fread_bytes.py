s = "".join(str(i % 10) for i in range(1000))
with open("/tmp/oxel_bench_fread_bytes.txt", "w") as f:
    for _ in range(1000):
        f.write(s)
n = sevens = 0
with open("/tmp/oxel_bench_fread_bytes.txt", "rb") as g:
    c = b"x"
    while c:
        c = g.read(1)
        if c == b"7":
            sevens += 1
        n += 1
print(n)
print(sevens)
