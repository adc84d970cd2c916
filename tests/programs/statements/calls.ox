oxelfn none
    echo "none"
oxelfn two.a, b
    rtn a
none()
two(1, 2)
two(1,,2)
two( "a", "b" )
(r. none ,)
(s. two r, 2)
made(5)
also (r)
rtn r
