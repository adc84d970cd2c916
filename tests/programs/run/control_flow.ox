x5
if x > 3
    echo "big"
els
    echo "small"
if x < 3
    echo "never"
els
    if x == 5
        echo "five"
    els
        echo "not five"
if x cmt lint-ignore=empty-block
  echo "level 0: runs anyway" cmt lint-ignore=indent-unit
lo0
    echo "lo0 runs once"
lo3
    echo "lo3"
lo3 w x < 1
    echo "never"
n0
lo10 w n < 4
    (n. n + 1)
echo n
lo2
    lo2
        echo "nested"
if false
    seen1
echo seen
