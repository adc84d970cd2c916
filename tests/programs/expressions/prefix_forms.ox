x9
s "text"
arr(3)
(a. sqrt. x)
(a. sqrt.2.25)
(b. bit shl x, 2)
(b. bit shrx,1)
(b. bit not x)
(c. len s)
(c. len	arr)
(d. char s, 0)
(d. cmp s, "text")
(d. cat s, 1)
(e. get	arr, 2)
