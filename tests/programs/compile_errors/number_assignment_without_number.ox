echo 1
echo 2
x
