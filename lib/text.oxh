cmt text.oxh: pieces of strings (needs chars.oxh, which it takes in)
cmt A line feed cannot be made from Oxel source, so a piece that would hold one
cmt loses it, unless the piece is the whole string (then it is that string).
chars.oxh

cmt text_sub s, start, n: the bytes of s at positions start to start + n - 1
cmt that exist; the empty string when none do
oxelfn text_sub.s, start, n
    (size. len s)
    if n <= 0
        rtn ""
    if start >= size
        rtn ""
    if n > size
        (n. size)
    if start < 0
        (n. n + start)
        start0
    if n <= 0
        rtn ""
    (stop. start + n)
    if stop > size
        (stop. size)
    if start == 0
        if stop == size
            rtn s
    (piece. text_piece s, start, stop)
    rtn piece

cmt text_piece s, first, stop: the bytes from first up to (not including) stop,
cmt both within s; halves the range, so a piece of n bytes costs n log n
oxelfn text_piece.s, first, stop
    (n. stop - first)
    if n > 32
        (mid. n / 2)
        (mid. first + mid)
        (left. text_piece s, first, mid)
        (right. text_piece s, mid, stop)
        (left. cat left, right)
        rtn left
    piece ""
    lo32 w first < stop
        (code. char s, first)
        (c. chr code)
        (piece. cat piece, c)
        (first. first + 1)
    rtn piece

cmt text_find s, needle, from: the first position at or after from where needle
cmt starts in s, or -1; an empty needle is found at from itself
oxelfn text_find.s, needle, from
    (size. len s)
    (m. len needle)
    if from < 0
        from0
    (last. size - m)
    if from > last
        rtn -1
    if m == 0
        rtn from
    (first. char needle, 0)
    (i. from)
    found0
    lo1000000 w found == 0
        if i > last
            found1
        els
            (c. char s, i)
            if c == first
                (same. text_match s, i, needle)
                if same == 1
                    rtn i
            (i. i + 1)
    rtn -1

cmt text_match s, at, needle: 1 when needle stands in s at position at, else 0
oxelfn text_match.s, at, needle
    (m. len needle)
    (size. len s)
    (stop. at + m)
    if at < 0
        rtn 0
    if stop > size
        rtn 0
    k0
    lo1000000 w k < m
        (a. char s, at)
        (b. char needle, k)
        if a != b
            rtn 0
        (at. at + 1)
        (k. k + 1)
    rtn 1

cmt text_repeat s, n: n copies of s one after the other (none when n <= 0),
cmt made by doubling: about 2 log n joins
oxelfn text_repeat.s, n
    out ""
    (s. cat s, "")
    lo64 w n > 0
        (bitv. n AND 1)
        if bitv == 1
            (out. cat out, s)
        (n. bit shr n, 1)
        if n > 0
            (s. cat s, s)
    rtn out
