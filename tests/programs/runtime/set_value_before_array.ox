x5
set x, 0, "abc"
