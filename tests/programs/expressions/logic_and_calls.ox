oxelfn pair.a, b
    rtn a
oxelfn unit
    rtn 1
x12
(a. x AND 10)
(a. x OR 1)
(a. x XOR x)
(c. pair x, 2)
(c. pair	x,, 2)
(c. unit ,)
(c. unit  , , )
