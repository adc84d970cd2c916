oxelfn twice.v
    (r. v * 2)
    rtn r

a(3)
(x. twice 4)
echo x
(y. twice a) cmt lint-ignore=unused-variable: the run fails here
