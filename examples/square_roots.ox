cmt a table of square roots from 1 to 10
x1.0
lo10
    (root. sqrt. x)
    (row. cat x, "    ")
    (row. cat row, root)
    echo row
    (x. x + 1.0)
