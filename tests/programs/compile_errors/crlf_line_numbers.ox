x1

echo y
