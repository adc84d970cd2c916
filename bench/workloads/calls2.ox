cmt calls with two, three and four arguments, and calls from inside functions
oxelfn mix.a, b
    (r. a * 31)
    (r. r + b)
    (r. r % 1000003)
    rtn r
oxelfn mix3.a, b, c
    (r. mix a, b)
    (r. mix r, c)
    rtn r
oxelfn pick.a, b, c, d
    if a > b
        rtn c
    rtn d
s1
i0
lo600000
    (s. mix s, i)
    (s. mix3 s, i, 7)
    (k. pick s, 500000, 3, 5)
    (s. s + k)
    (i. i + 1)
echo s
