oxelfn half.x, y, t
    (h. x / 2)
    (bad. h + t)
    rtn bad
