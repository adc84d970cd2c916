x5
if x > 3
    echo "big"
els
    echo "small"
lo2
    echo x
