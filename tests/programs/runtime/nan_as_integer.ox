n"nan"
(f. n + 0)
echo f
(r. bit not f) cmt lint-ignore=unused-variable: the run fails here
