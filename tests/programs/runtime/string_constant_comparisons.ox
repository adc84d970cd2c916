s"abc"
if s == "abc"
    echo "equal"
if "abd" > s
    echo "after"
if s < "ab"
    echo "never"
if "" != s
    echo "not empty"
e""
lo3 w e != "xx"
    (e. cat e, "x")
echo e
n10
if n == "10"
    echo "never"
