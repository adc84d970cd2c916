x7
echo "hi"
