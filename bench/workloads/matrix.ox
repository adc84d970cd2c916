cmt nested loops over flat arrays: a 120 by 120 matrix product
n120
a(14400)
b(14400)
c(14400)
k0
lo14400
    (v. k % 7)
    set a, k, v
    (v. k % 5)
    set b, k, v
    (k. k + 1)
i0
lo120
    j0
    lo120
        s0
        k0
        lo120
            (ia. i * n)
            (ia. ia + k)
            (x. get a, ia)
            (kb. k * n)
            (kb. kb + j)
            (y. get b, kb)
            (p. x * y)
            (s. s + p)
            (k. k + 1)
        (ic. i * n)
        (ic. ic + j)
        set c, ic, s
        (j. j + 1)
    (i. i + 1)
t0
k0
lo14400
    (v. get c, k)
    (t. t + v)
    (k. k + 1)
echo t
