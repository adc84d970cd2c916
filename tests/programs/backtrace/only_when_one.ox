oxelfn f.x
    (y. x / 0)
    rtn y
(z. f 1)
echo z
