cmt makes an 8 MB array and a 1 MB string each time round, unreachable by the next: 2.7 GB in all, far past the address-space limit the test sets
t"abcdefghijklmnop"
lo16
    (t. cat t, t)
i0
lo300
    a(1000000)
    set a, 999999, i
    (u. cat t, i)
    (i. i + 1)
(v. get a, 999999)
echo v
(n. len u)
echo n
