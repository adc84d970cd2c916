s"hello"
(c. char s, 4)
echo c
(c. char s, -1)
