cmt keeps every array alive: 8 MB each, far past the address-space limit the test sets
lo100000
    a(1000000)
    set a, 999999, 1
echo "not reached"
