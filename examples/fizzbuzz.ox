cmt FizzBuzz from 1 to 30
i1
lo30
    (by3. i % 3)
    (by5. i % 5)
    if by3 == 0
        if by5 == 0
            echo "FizzBuzz"
        els
            echo "Fizz"
    els
        if by5 == 0
            echo "Buzz"
        els
            echo i
    (i. i + 1)
