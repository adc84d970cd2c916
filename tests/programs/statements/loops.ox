lo0
    echo 0
lo1
    echo 1
lo3
    lo2
        echo "inner"
x5
lo3 w x < 1
    echo x
lo3w
lo4w	x
    (x. x - 1)
lo2 w true
