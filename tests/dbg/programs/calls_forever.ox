cmt calls a function until the debugger ends it
oxelfn next.n
    (m. n + 1)
    rtn m
echo "go"
lo9000000000000000000
    (n. next n)
