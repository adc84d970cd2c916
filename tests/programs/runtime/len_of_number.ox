(n. len "")
echo n
(n. len 5)
