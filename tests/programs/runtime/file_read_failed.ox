fopen f, "out.txt", "w"
(d. fread f, 1) cmt lint-ignore=unused-variable: the run fails here
