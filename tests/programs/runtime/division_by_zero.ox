echo 1
(r. 1.0 / 0) cmt lint-ignore=unused-variable: the run fails here
