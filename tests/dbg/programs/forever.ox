cmt runs until the debugger ends it
lo9000000000000000000
    (n. n + 1)
