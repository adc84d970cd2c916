cmt the primes below 100, found with an array sieve
n100
sieve(100)
i2
lo98
    (crossed. get sieve, i)
    if crossed == 0
        echo i
        (j. i * i)
        lo100 w j < n
            set sieve, j, 1
            (j. j + i)
    (i. i + 1)
