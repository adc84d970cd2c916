cmt each bare echo adds an empty constant of its own
echo
echo
echo "a" "b"
echo	1
echow "hi", 500
echow"a",1
in x
in (y)
in	z
input
index5
echo put
