chars.oxh
cmt every code, then codes outside the bytes
k0
lo256
    (c. chr k)
    (n. len c)
    (line. cat k, " ")
    (line. cat line, n)
    echo line
    echo c
    (k. k + 1)
(c. chr -1)
(n. len c)
echo n
(c. chr 256)
(n. len c)
echo n
(c. chr 1000)
(n. len c)
echo n
(c. chr -9223372036854775808)
(n. len c)
echo n
(c. chr 9223372036854775807)
(n. len c)
echo n
