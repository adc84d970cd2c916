cmt floatbits.oxh: floats kept bit for bit in integer arrays (no other header needed)

cmt float_bits x: the 64 bits of the float x (an integer is converted first) as
cmt an integer, sign bit first; every finite value, infinities and signed zero
cmt exactly; a NaN gives the quiet NaN with its sign (its payload is not kept).
cmt At most twenty comparisons and multiplications by powers of two, all exact.
oxelfn float_bits.x
    (x. x * 1.0)
    (text. cat x, "")
    (c0. char text, 0)
    sign0
    if c0 == 45
        (sign. bit shl 1, 63)
        (x. 0.0 - x)
    if x != x
        (b. sign OR 9221120237041090560)
        rtn b
    if x > 0x1.fffffffffffffp1023
        (b. sign OR 9218868437227405312)
        rtn b
    if x < 0x1.0p-1022
        (m. x * 0x1.0p537)
        (m. m * 0x1.0p537)
        (m. m OR 0)
        (b. sign OR m)
        rtn b
    e0
    if x >= 2.0
        if x >= 0x1.0p512
            (x. x * 0x1.0p-512)
            (e. e + 512)
        if x >= 0x1.0p256
            (x. x * 0x1.0p-256)
            (e. e + 256)
        if x >= 0x1.0p128
            (x. x * 0x1.0p-128)
            (e. e + 128)
        if x >= 0x1.0p64
            (x. x * 0x1.0p-64)
            (e. e + 64)
        if x >= 0x1.0p32
            (x. x * 0x1.0p-32)
            (e. e + 32)
        if x >= 0x1.0p16
            (x. x * 0x1.0p-16)
            (e. e + 16)
        if x >= 0x1.0p8
            (x. x * 0x1.0p-8)
            (e. e + 8)
        if x >= 0x1.0p4
            (x. x * 0x1.0p-4)
            (e. e + 4)
        if x >= 0x1.0p2
            (x. x * 0x1.0p-2)
            (e. e + 2)
        if x >= 0x1.0p1
            (x. x * 0x1.0p-1)
            (e. e + 1)
    if x < 1.0
        (y. x * 0x1.0p512)
        if y < 2.0
            (x. y)
            (e. e - 512)
        (y. x * 0x1.0p256)
        if y < 2.0
            (x. y)
            (e. e - 256)
        (y. x * 0x1.0p128)
        if y < 2.0
            (x. y)
            (e. e - 128)
        (y. x * 0x1.0p64)
        if y < 2.0
            (x. y)
            (e. e - 64)
        (y. x * 0x1.0p32)
        if y < 2.0
            (x. y)
            (e. e - 32)
        (y. x * 0x1.0p16)
        if y < 2.0
            (x. y)
            (e. e - 16)
        (y. x * 0x1.0p8)
        if y < 2.0
            (x. y)
            (e. e - 8)
        (y. x * 0x1.0p4)
        if y < 2.0
            (x. y)
            (e. e - 4)
        (y. x * 0x1.0p2)
        if y < 2.0
            (x. y)
            (e. e - 2)
        (y. x * 0x1.0p1)
        if y < 2.0
            (x. y)
            (e. e - 1)
    (m. x - 1.0)
    (m. m * 0x1.0p52)
    (m. m OR 0)
    (e. e + 1023)
    (e. bit shl e, 52)
    (b. sign OR e)
    (b. b OR m)
    rtn b

cmt bits_float b: the float whose 64 bits are the integer b (float_bits undone);
cmt NaN patterns give the positive quiet NaN. One multiplication, exact.
oxelfn bits_float.b
    (field. bit shr b, 52)
    (field. field AND 2047)
    (m. b AND 4503599627370495)
    if field == 2047
        text "nan"
        if m == 0
            text "inf"
            if b < 0
                text "-inf"
        (f. text * 1.0)
        rtn f
    (k. -1074)
    if field > 0
        (m. m + 4503599627370496)
        (k. field - 1075)
    (scale. cat "0x1p", k)
    (scale. scale * 1.0)
    (f. m * scale)
    if b < 0
        (f. f * -1.0)
    rtn f

cmt farr_set arr, i, x: stores the float x at index i of the integer array arr
oxelfn farr_set.arr, i, x
    (b. float_bits x)
    set arr, i, b
    rtn 0

cmt farr_get arr, i: the float stored at index i by farr_set
oxelfn farr_get.arr, i
    (b. get arr, i)
    (f. bits_float b)
    rtn f
