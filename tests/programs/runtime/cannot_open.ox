echo "open"
fopen f, "missing.txt", "r" cmt lint-ignore=unused-variable: the run fails here
