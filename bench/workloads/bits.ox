cmt bit hashing over 32-bit words: shifts, AND, OR, XOR and bit not
h2166136261
m4294967295
x0
i0
lo2000000
    (a. bit shl h, 5)
    (b. bit shr h, 2)
    (t. a XOR b)
    (t. t XOR i)
    (h. h XOR t)
    (h. h AND m)
    (n. bit not h)
    (n. n AND 255)
    (s. bit shl n, 11)
    (h. h XOR s)
    (o. h AND 1)
    (s. bit shr h, 13)
    (s. s OR o)
    (h. h XOR s)
    (x. x XOR h)
    (i. i + 1)
echo h
echo x
