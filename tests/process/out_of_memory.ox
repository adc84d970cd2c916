cmt doubles a string that stays reachable until it no longer fits under the address-space limit the test sets
s"abcdefghijklmnop"
lo100
    (s. cat s, s)
echo "not reached"
