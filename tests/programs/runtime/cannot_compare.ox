s"10"
(r. s + 1)
echo r
if s == 10
    echo "never"
