echo "What is your name?"
in name
echo name
