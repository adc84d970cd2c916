oxelfn f.x
    rtn x
(z. g 1)
