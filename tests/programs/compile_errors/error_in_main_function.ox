x1
oxelfn f
    rtn
