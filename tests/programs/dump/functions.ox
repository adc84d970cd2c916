cmt chunks follow the definitions; __top comes last
oxelfn empty
oxelfn add.a, b
    rtn a
    (c. a + b)
    rtn c
oxelfn twice . a , a
    echo a
oxelfn counter.n
    lo2
        lo3
            echo n
oxelfn late
        echo "body at level 2"
    echo "ends the body early, never compiled"
empty()
add(1, 2)
(r. add 3, 4)
(e. empty ,)
twice(1,,2)
counter(5)
echo r
rtn 0
