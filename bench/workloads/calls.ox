cmt a loop that calls a small function
oxelfn add3.a, b, c
    (r. a + b)
    (r. r + c)
    rtn r
s0
i0
lo3000000
    (s. add3 s, i, 1)
    (s. s % 1000003)
    (i. i + 1)
echo s
