cmt prints long after the reader of standard output has gone, then fails on purpose
lo200000
    echo "a line nobody reads"
(x. 1 / 0)
