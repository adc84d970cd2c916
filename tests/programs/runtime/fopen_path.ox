fopen f, 5, 7 cmt lint-ignore=unused-variable: the run fails here
