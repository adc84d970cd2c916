echo "before"
s"abc"
cmt a string that is no number

(r. s + 1)
echo "after"
