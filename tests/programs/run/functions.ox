oxelfn fact.n
    if n <= 1
        rtn 1
    (m. n - 1)
    (r. fact m)
    (r. r * n)
    rtn r
oxelfn show.a, b
    echo a
    echo b
oxelfn nothing
    echo "side effect"
oxelfn early.x
    if x
        rtn "early"
    echo "fell through"
(f. fact 10)
echo f
show(1, 2)
show(1,,"two")
nothing()
(z. nothing ,)
echo z
(e. early 1)
echo e
(e. early 0)
echo e
oxelfn nested.v
    lo2
        oxelfn skipped cmt lint-ignore=skipped-lines
            echo "never compiled"
        echo v
nested("twice")
rtn 0
echo "after the top-level rtn" cmt lint-ignore=unreachable
