cmt a failure three calls deep: each caller at the line of its call
oxelfn ratio.a, b
    (q. a / b)
    rtn q
oxelfn scaled.x
    (r. ratio x, 0)
    rtn r
n4
lo2
    (v. scaled n)
    echo v
