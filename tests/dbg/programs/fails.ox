oxelfn ratio.a, b
    (q. a / b)
    rtn q
echo "before"
(x. ratio 6, 3)
echo x
(y. ratio 1, 0)
echo y
