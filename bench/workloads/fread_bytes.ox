cmt writing a file of 1,000,000 bytes in blocks, then reading it back one byte per fread
s""
i0
lo1000
    (d. i % 10)
    (s. cat s, d)
    (i. i + 1)
fopen f, "/tmp/oxel_bench_fread_bytes.txt", "w"
lo1000
    fwrite f, s
fclose f
fopen g, "/tmp/oxel_bench_fread_bytes.txt", "r"
n0
sevens0
c"x"
lo1000001 w c != ""
    (c. fread g, 1)
    if c == "7"
        (sevens. sevens + 1)
    (n. n + 1)
fclose g
echo n
echo sevens
