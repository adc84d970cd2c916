fopen f, "in.txt", "r"
fclose f
(d. fread f, -5)
