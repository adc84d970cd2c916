cmt output-heavy: many short lines of numbers and text
x7
i0
lo30000
    echo i
    (x. x * 75)
    (x. x % 65537)
    echo x
    (y. 0 - x)
    echo y
    echo "tick"
    echo
    (i. i + 1)
