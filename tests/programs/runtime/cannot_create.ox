fopen f, "no/such/dir.txt", "w" cmt lint-ignore=unused-variable: the run fails here
