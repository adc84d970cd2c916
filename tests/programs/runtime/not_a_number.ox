echo "before"
s"abc"
cmt a string that is no number

(r. s + 1) cmt lint-ignore=unused-variable: the run fails here
echo "after"
