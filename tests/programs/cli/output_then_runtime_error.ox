echo 1
echo "two"
(x. 1 / 0) cmt lint-ignore=unused-variable: the run fails here
echo 3
