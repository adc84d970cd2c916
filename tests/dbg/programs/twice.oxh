oxelfn twice.x
    (y. x + x)
    rtn y
