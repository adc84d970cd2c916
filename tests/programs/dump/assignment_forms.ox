cmt add2 is chunk 1; r, x, arr and fh get slots 0 to 3
oxelfn first
oxelfn add2.a, b
    (s. a + b)
    rtn s
(r. 0)
x5
arr(4)
fopen fh, "data.txt", "r"
(r. x + 1)
(r. 3 - -2)
(r. -2 * x)
(r. 2.5)
(r. "a b")
(r. x AND 1)
(r. get arr, x)
(r. fread fh, 10)
(r. add2 x, 4)
(r. sqrt. x)
(r. bit shl x, 3)
(r. len "abc")
