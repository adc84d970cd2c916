a(1000000)
(n. len a)
echo n
b(-3) cmt lint-ignore=unused-variable: the run fails here
