(s. cat 1, 2)
echo s
(t. cat "x", 0.5)
echo t
(n. len s)
echo n
(c. char "A", 0)
echo c
a(5)
(b. a)
set b, 4, 9
(v. get a, 4)
echo v
set a, 0, 2.9
q"7"
set a, 1, q
(v. get b, 0)
echo v
(v. get b, 1)
echo v
(n. len a)
echo n
echo a
cmt arrget into the slot that holds the array replaces it
(a. get a, 4)
echo a
acc""
lo100000
    (acc. cat acc, "ab")
(n. len acc)
echo n
(c. char acc, 199999)
echo c
