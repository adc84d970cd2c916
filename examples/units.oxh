cmt units.oxh: conversions in whole numbers (division rounds toward zero)
oxelfn celsius.f
    (c. f - 32)
    (c. c * 5)
    (c. c / 9)
    rtn c

oxelfn fahrenheit.c
    (f. c * 9)
    (f. f / 5)
    (f. f + 32)
    rtn f

oxelfn kelvin.c
    (k. c + 273)
    rtn k
