cmt integer arithmetic in a tight loop
s0
i0
lo10000000
    (t. i * i)
    (t. t % 7)
    (s. s + t)
    (i. i + 1)
echo s
