cmt float arithmetic with square roots
s0.0
x1.0
lo1000000
    (r. sqrt. x)
    (s. s + r)
    (x. x + 1.0)
(t. s AND -1)
echo t
