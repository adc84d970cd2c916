cmt joins a name and a value
oxelfn label.name, v
    (s. cat name, v)
    rtn s
