x5
(v. get x, 0) cmt lint-ignore=unused-variable: the run fails here
