x1
if x
if x == 1
    echo "then"
els
    echo "else"
if els x
    echo "els is dropped"
if x
    echo "outer"
    if x > 5
        echo "inner"
    els
        if x < 0
            echo "negative"
        els
            echo "small"
els
    echo "not x"
if x
  echo "two spaces: level 0, always runs"
