oxelfn sq.n
    (r. n * n)
    (s. cat "sq ", r)
    rtn r
(total. 0)
(i. 0)
word "a"b	c"
buf(3)
set buf, 1, 7
lo3
    (v. sq i)
    (total. total + v)
    echo v
    (i. i + 1)
echo total
