cmt string helpers; names itself, which is harmless
util/math.oxh

oxelfn greet.name
    (s. cat "hello ", name)
    rtn s
strings.oxh
