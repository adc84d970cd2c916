in a
echo a
(b. a + 1)
echo b
in c
echo c
(k. c + 1)
echo k
in d
(n. len d)
echo n
in e
echo e
in f
(n. len f)
echo n
in g
echo g
in h
(n. len h)
echo n
in (i)
(r. i + 1)
echo r
in j
echo j
in k
echo k
