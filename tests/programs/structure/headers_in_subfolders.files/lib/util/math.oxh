oxelfn twice.n
    (r. n * 2)
    rtn r
