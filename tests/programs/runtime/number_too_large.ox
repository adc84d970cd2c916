(y. -2.9)
(z. y OR 0)
echo z
x1.0e19
(r. x AND 1) cmt lint-ignore=unused-variable: the run fails here
