cmt math.oxh: integer helpers that stay exact over the whole 64-bit range

cmt min a, b and max a, b: the smaller and the larger of two numbers
oxelfn min.a, b
    if b < a
        rtn b
    rtn a

oxelfn max.a, b
    if b > a
        rtn b
    rtn a

cmt absolute n: the magnitude of n (the smallest integer stays itself: 2^63 does
cmt not fit)
oxelfn absolute.n
    if n < 0
        (n. 0 - n)
    rtn n

cmt gcd a, b: the greatest common divisor of a and b, never negative, gcd 0, 0 is 0
cmt (Euclid on the negated values, so every integer works; the answer 2^63, for
cmt the smallest integer with 0 or itself, does not fit and wraps to it)
oxelfn gcd.a, b
    if a > 0
        (a. 0 - a)
    if b > 0
        (b. 0 - b)
    lo200 w b != 0
        (r. 0)
        if b != -1
            (q. a / b)
            (q. q * b)
            (r. a - q)
        (a. b)
        (b. r)
    (a. 0 - a)
    rtn a

cmt isqrt n: the largest r with r * r <= n, exactly (sqrt. works through a float
cmt and can be one off for large n); 0 for n below 1
oxelfn isqrt.n
    if n < 1
        rtn 0
    (r. sqrt. n)
    (sq. r * r)
    lo3 w sq > n
        (r. r - 1)
        (sq. r * r)
    more1
    lo3 w more == 1
        more0
        if r < 3037000499
            (next. r + 1)
            (sq. next * next)
            if sq <= n
                (r. next)
                more1
    rtn r

cmt mulmod a, b, m: a * b modulo m (m from 1 to the largest integer) without
cmt overflow; the result lies in 0 to m - 1. Direct when m * m fits, else by
cmt doubling: up to 63 steps.
oxelfn mulmod.a, b, m
    if m < 1
        rtn 0
    (a. a % m)
    (b. b % m)
    if m <= 3037000499
        (r. a * b)
        (r. r % m)
        rtn r
    r0
    k62
    lo63 w k >= 0
        (room. m - r)
        if r >= room
            (r. r - room)
        els
            (r. r + r)
        (bitv. bit shr b, k)
        (bitv. bitv AND 1)
        if bitv == 1
            (room. m - a)
            if r >= room
                (r. r - room)
            els
                (r. r + a)
        (k. k - 1)
    rtn r

cmt powmod b, e, m: b to the power e, modulo m (e >= 0, m >= 1; otherwise 0);
cmt square and multiply: about 2 log e calls of mulmod
oxelfn powmod.b, e, m
    if m < 1
        rtn 0
    if e < 0
        rtn 0
    (r. 1 % m)
    (b. b % m)
    lo64 w e > 0
        (bitv. e AND 1)
        if bitv == 1
            (r. mulmod r, b, m)
        (e. bit shr e, 1)
        if e > 0
            (b. mulmod b, b, m)
    rtn r
