fopen f, "out.txt", "w"
(d. fread f, 1)
