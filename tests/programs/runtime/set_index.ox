a(3)
set a, 2, 7
(v. get a, 2)
echo v
set a, 3, 1
