cmt integers wrap, division truncates, modulo takes the divisor's sign
(big. 9223372036854775807)
(r. big + 1)
echo r
(r. -7 / 2)
echo r
(r. -7 % 3)
echo r
(r. 7 % -3)
echo r
(m. -9223372036854775808)
(r. m / -1)
echo r
(r. m % -1)
echo r
cmt float modulo corrects only a negative left operand
(r. -7.0 % 3)
echo r
(r. 7.0 % -3)
echo r
(r. 1 + 2.5)
echo r
(r. 4 / 2.0)
echo r
s" 42 "
(r. s + 1)
echo r
w"99999999999999999999"
(r. w + 0)
echo r
(r. sqrt. 10)
echo r
(r. sqrt. -4)
echo r
(r. sqrt. 2.25)
echo r
(r. bit shl 1, 63)
echo r
(r. bit shl 1, 64)
echo r
(r. bit shr -8, 1)
echo r
(r. bit shr -1, 70)
echo r
(r. 5 AND 3)
echo r
(r. 5 OR 3)
echo r
(r. 5 XOR 3)
echo r
(r. bit not 0)
echo r
(f. 2.9)
(r. f AND 3)
echo r
