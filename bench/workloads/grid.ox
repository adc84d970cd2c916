cmt nested loops over an array: repeated passes over a 200 by 200 grid with get and set
n200
g(40000)
k0
lo40000
    (v. k % 10)
    set g, k, v
    (k. k + 1)
p0
lo40
    i1
    lo199
        (row. i * n)
        j1
        lo199
            (idx. row + j)
            (up. idx - n)
            (lf. idx - 1)
            (a. get g, up)
            (b. get g, lf)
            (c. get g, idx)
            (v. a + b)
            (v. v + c)
            (v. v % 1000003)
            set g, idx, v
            (j. j + 1)
        (i. i + 1)
    (p. p + 1)
t0
k0
lo40000
    (v. get g, k)
    (t. t + v)
    (k. k + 1)
echo t
