cmt x has slot 1, s slot 2
(u. 0)
x5
s "yes"
if x < 10
    echo 1
if x >= -1
    echo 2
if s != "no"
    echo 3
if true
    echo 4
if x
    echo 5
if false
if x <= 1
if x == 2
if x > 1
if s == "x<y"
lo3 w x != 0
    (x. x - 1)
