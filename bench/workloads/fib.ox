cmt naive recursive Fibonacci
oxelfn fib.n
    if n < 2
        rtn n
    (a. n - 1)
    (a. fib a)
    (b. n - 2)
    (b. fib b)
    (r. a + b)
    rtn r
(r. fib 30)
echo r
