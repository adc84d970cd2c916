echo "open"
fopen f, "missing.txt", "r"
