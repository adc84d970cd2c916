cmt format.oxh: numbers as text with a fixed form (no other header needed)

cmt fmt_fixed x, d: x with d decimals (0 to 17), rounded as C's printf("%.*f")
cmt rounds: to the nearest, ties to the even last digit, on the exact binary
cmt value. Integers are exact; floats must lie strictly between -2^63 and 2^63.
cmt Infinities and NaN give inf, -inf, nan or -nan. The empty string for what it
cmt refuses: d outside 0 to 17, floats of magnitude 2^63 or more.
oxelfn fmt_fixed.x, d
    if d < 0
        rtn ""
    if d > 17
        rtn ""
    (text. cat x, "")
    (c0. char text, 0)
    neg0
    if c0 == 45
        neg1
    cmt an integer divides as one: x * 0 + 1, halved, stays 0
    (z. x * 0)
    (z. z + 1)
    (z. z / 2)
    (q. x)
    f0
    if z != 0
        if x != x
            rtn text
        if x > 0x1.fffffffffffffp1023
            rtn text
        if x < -0x1.fffffffffffffp1023
            rtn text
        if x >= 9223372036854775808.0
            rtn ""
        if x <= -9223372036854775808.0
            rtn ""
        (q. x OR 0)
        (f. x - q)
        if f < 0
            (f. 0.0 - f)
    scale1
    wide1.0
    i0
    lo17 w i < d
        (scale. scale * 10)
        (wide. wide * 10.0)
        (i. i + 1)
    (r. fmt_round f, wide, q, d)
    if r >= scale
        (r. r - scale)
        if neg == 1
            (q. q - 1)
        els
            (q. q + 1)
    (head. cat q, "")
    if q == 0
        if neg == 1
            head "-0"
    if d == 0
        rtn head
    (digits. cat r, "")
    (n. len digits)
    (n. d - n)
    (zeros. fmt_fill "0", n)
    (head. cat head, ".")
    (head. cat head, zeros)
    (head. cat head, digits)
    rtn head

cmt fmt_round f, wide, q, d: f * wide rounded to an integer, ties to the even
cmt last digit (of q when d is 0). f is in [0, 1) and wide a power of ten up to
cmt 1e17; the product is split into the rounded p and its exact error e
cmt (Dekker's two-product), so the rounding sees the exact value.
oxelfn fmt_round.f, wide, q, d
    if f == 0
        rtn 0
    (p. f * wide)
    (c. f * 134217729.0)
    (ah. c - f)
    (ah. c - ah)
    (al. f - ah)
    (c. wide * 134217729.0)
    (bh. c - wide)
    (bh. c - bh)
    (bl. wide - bh)
    (e. ah * bh)
    (e. e - p)
    (t. ah * bl)
    (e. e + t)
    (t. al * bh)
    (e. e + t)
    (t. al * bl)
    (e. e + t)
    (whole. p OR 0)
    (part. p - whole)
    if part == 0
        (ie. e OR 0)
        if ie > e
            (ie. ie - 1)
        (whole. whole + ie)
        (part. e - ie)
        e0.0
    (t. part - 0.5)
    up0
    if t > 0
        up1
    if t == 0
        if e > 0
            up1
        if e == 0
            (last. whole)
            if d == 0
                (last. last + q)
            (last. last AND 1)
            (up. last)
    (whole. whole + up)
    rtn whole

cmt fmt_hex n: the 64 bits of n in lower-case hexadecimal without leading zeros,
cmt as printf("%llx") writes them (so -1 gives sixteen f)
oxelfn fmt_hex.n
    out ""
    more1
    lo16 w more == 1
        (digit. n AND 15)
        if digit > 9
            (digit. fmt_hexletter digit)
        (out. cat digit, out)
        (n. bit shr n, 4)
        (n. n AND 1152921504606846975)
        if n == 0
            more0
    rtn out

cmt fmt_hexletter v: the letter a to f for 10 to 15
oxelfn fmt_hexletter.v
    if v < 13
        if v == 10
            rtn "a"
        if v == 11
            rtn "b"
        rtn "c"
    if v == 13
        rtn "d"
    if v == 14
        rtn "e"
    rtn "f"

cmt fmt_zeros n, width: the integer n padded with zeros after its sign to at least
cmt width characters, as printf("%0*lld")
oxelfn fmt_zeros.n, width
    sign ""
    (digits. cat n, "")
    if n < 0
        sign "-"
        (m. n / 10)
        (last. m * 10)
        (last. last - n)
        (m. 0 - m)
        digits ""
        if m > 0
            (digits. cat m, "")
        (digits. cat digits, last)
    (size. len digits)
    (room. len sign)
    (room. width - room)
    (room. room - size)
    (pad. fmt_fill "0", room)
    (out. cat sign, pad)
    (out. cat out, digits)
    rtn out

cmt fmt_right v, width: the text of v after spaces, to at least width characters
cmt (printf("%*s")); fmt_left v, width: spaces after it (printf("%-*s"))
oxelfn fmt_right.v, width
    (text. cat v, "")
    (n. len text)
    (n. width - n)
    (pad. fmt_fill " ", n)
    (text. cat pad, text)
    rtn text

oxelfn fmt_left.v, width
    (text. cat v, "")
    (n. len text)
    (n. width - n)
    (pad. fmt_fill " ", n)
    (text. cat text, pad)
    rtn text

cmt fmt_fill s, n: n copies of s (none when n <= 0), by doubling
oxelfn fmt_fill.s, n
    out ""
    lo64 w n > 0
        (bitv. n AND 1)
        if bitv == 1
            (out. cat out, s)
        (n. bit shr n, 1)
        if n > 0
            (s. cat s, s)
    rtn out
