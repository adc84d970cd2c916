cmt sieve of Eratosthenes over 1,000,000 entries
n1000000
a(1000000)
count0
i2
lo999998
    (v. get a, i)
    if v == 0
        (count. count + 1)
        (j. i * i)
        lo1000000 w j < n
            set a, j, 1
            (j. j + i)
    (i. i + 1)
echo count
