fopen f, "in.txt", "r"
fwrite f, 1
