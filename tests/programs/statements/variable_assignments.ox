cmt names glued to numbers and strings
count10
x2y7
n007
big9223372036854775807
x1.5
ab12.5
t-0.25
h0x1.8p1
greeting "hello"
g"x"
q "a"b"
e ""
(x.5)
(x)
(neg. -5)
( spaced .  7 )
