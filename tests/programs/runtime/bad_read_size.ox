fopen f, "in.txt", "r"
fclose f
(d. fread f, -5) cmt lint-ignore=unused-variable: the run fails here
