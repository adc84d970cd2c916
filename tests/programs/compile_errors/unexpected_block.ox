x1
echo x
    echo 2
