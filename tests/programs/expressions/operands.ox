echo ""
echo "a"b"
echo """
echo "  inner  blanks  "
echo true
echo false
echo -0
echo 9223372036854775807
echo -9223372036854775808
echo 1.5
echo -2.0
echo 0.0
echo 1.5e3
echo -.5
echo 5.
