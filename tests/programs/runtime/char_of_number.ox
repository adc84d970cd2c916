(c. char "é", 1)
echo c
(c. char 65, 0)
