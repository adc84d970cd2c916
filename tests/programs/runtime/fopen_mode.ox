fopen f, "data.txt", "rb" cmt lint-ignore=unused-variable: the run fails here
