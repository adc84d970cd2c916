cmt float math: square roots, division and constants on the left
s0.0
x0.5
lo1000000
    (y. 1.0 - x)
    (y. y * y)
    (z. 2.0 + y)
    (r. sqrt. z)
    (q. 1.0 / r)
    (u. x / 3.0)
    (q. q - u)
    (s. s + q)
    (x. x + 0.000001)
(t. s * 1000.0)
(t. t AND -1)
echo t
