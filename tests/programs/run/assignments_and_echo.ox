count10
(count. count + 5)
echo count
x1.5
(y. x * 2)
echo y
greeting "hello"
(g. cat greeting, " world")
echo g
echo
echo "a" "b"
(n. -7)
(m. n % 3)
echo m
(b. 12 AND 10)
echo b
(c. bit shl 1, 4)
echo c
(l. len g)
echo l
(same. same + 1)
echo same
