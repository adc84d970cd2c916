cmt a table of temperatures: the conversions come from the header units.oxh
units.oxh
f0
(f. f - 40)
lo6
    (c. celsius f)
    (k. kelvin c)
    (row. cat f, " F = ")
    (row. cat row, c)
    (row. cat row, " C = ")
    (row. cat row, k)
    (row. cat row, " K")
    echo row
    (f. f + 50)
(back. fahrenheit 100)
(line. cat "100 C = ", back)
(line. cat line, " F")
echo line
