cmt building a string with cat, then reading it back with len and char
s""
i0
lo200000
    (d. i % 10)
    (s. cat s, d)
    (i. i + 1)
(l. len s)
n0
k0
lo200000
    (c. char s, k)
    (n. n + c)
    (k. k + 1)
echo l
echo n
