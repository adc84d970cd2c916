echo 1
echo "two"
(x. 1 / 0)
echo 3
