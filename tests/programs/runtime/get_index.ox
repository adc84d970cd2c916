oxelfn pick.i
    a(3)
    (v. get a, i)
    rtn v

(x. pick 2)
echo x
(x. pick 3)
