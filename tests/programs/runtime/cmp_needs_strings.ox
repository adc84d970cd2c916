(c. cmp "b", "a")
echo c
(c. cmp 1, "a")
