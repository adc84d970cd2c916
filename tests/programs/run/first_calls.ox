cmt Each function's first call, through every form a call takes, after
cmt another call has left values in the slots the new frame reuses: a
cmt variable read before it is written still starts as 0.
oxelfn fill.a
    (x. a * 7)
    (y. x + 1)
    (z. y + 1)
    rtn z
oxelfn one.a
    if a > 100
        (t. 5)
    (r. t + a)
    rtn r
oxelfn two.a, b
    if a > 100
        (t. 5)
    (r. t + b)
    rtn r
oxelfn three.a, b, c
    if a > 100
        (t. 5)
    (r. t + c)
    rtn r
oxelfn expr.a
    if a > 100
        (t. 5)
    (r. t + a)
    rtn r
oxelfn down.n
    if n > 0
        (m. n - 1)
        (k. down m)
    (r. k + n)
    rtn r
oxelfn repeated.n
    s0
    lo5
        (v. fill n)
        (s. s + v)
    rtn s
i1
j2
(u. fill 3)
(v. one i)
echo v
(u. fill 3)
(v. two i, j)
echo v
(u. fill 3)
(v. three i, 2, 3)
echo v
(u. fill 3)
(v. expr 4)
echo v
(v. down 4)
echo v
(v. repeated 1)
echo v
echo u
