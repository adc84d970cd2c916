x0.0
(z. -0.0)
if x == z
    echo "zero equals minus zero"
if z
    echo "never"
els
    echo "minus zero is false"
n"nan"
(f. n + 0)
echo f
if f == f
    echo "never"
if f != f
    echo "nan differs from itself"
if f
    echo "nan is true"
if 1 == 1.0
    echo "1 equals 1.0"
a"abc"
b"abd"
if a < b
    echo "abc before abd"
e""
if e < a
    echo "empty first"
(c. cmp "ab", "abc")
echo c
o"0"
if o
    echo "the string 0 is true"
