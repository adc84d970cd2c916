a(1000000)
(n. len a)
echo n
b(-3)
