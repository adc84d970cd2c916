cmt random.oxh: a pseudo-random generator whose state lives in an array, so it
cmt survives between calls (functions see no globals). The numbers are those of
cmt the published SplitMix64 generator, so a seed gives the same sequence
cmt everywhere.

cmt rng_new seed: a new generator (an array of one element) started from seed
oxelfn rng_new.seed
    state(1)
    set state, 0, seed
    rtn state

cmt rng_next st: the next 64-bit number of the generator st, any integer
oxelfn rng_next.st
    (z. get st, 0)
    (z. z + -7046029254386353131)
    set st, 0, z
    (y. bit shr z, 30)
    (y. y AND 17179869183)
    (z. z XOR y)
    (z. z * -4658895280553007687)
    (y. bit shr z, 27)
    (y. y AND 137438953471)
    (z. z XOR y)
    (z. z * -7723592293110705685)
    (y. bit shr z, 31)
    (y. y AND 8589934591)
    (z. z XOR y)
    rtn z

cmt rng_below st, n: a number from 0 to n - 1, every one equally likely (numbers
cmt from the uneven top of the range are drawn again); 0 when n < 1
oxelfn rng_below.st, n
    if n < 1
        rtn 0
    (cut. 9223372036854775807 % n)
    (cut. cut + 1)
    (cut. cut % n)
    (limit. 9223372036854775807 - cut)
    lo1000000
        (v. rng_next st)
        (v. bit shr v, 1)
        (v. v AND 9223372036854775807)
        if v <= limit
            (v. v % n)
            rtn v
    rtn 0

cmt rng_float st: a float from 0 up to (not including) 1, in steps of 2^-53
oxelfn rng_float.st
    (v. rng_next st)
    (v. bit shr v, 11)
    (v. v AND 9007199254740991)
    (f. v * 0x1.0p-53)
    rtn f
