cmt arrays.oxh: sorting and searching integer arrays, with loops only (no deep calls)

cmt arr_sort a: sorts the whole array a in place, smallest first (heapsort:
cmt n log n comparisons at worst, no extra memory, calls nest two deep)
oxelfn arr_sort.a
    (n. len a)
    (start. n / 2)
    lo1000000 w start > 0
        (start. start - 1)
        arr_sift(a, start, n)
    (stop. n - 1)
    lo1000000 w stop > 0
        (top. get a, 0)
        (v. get a, stop)
        set a, 0, v
        set a, stop, top
        arr_sift(a, 0, stop)
        (stop. stop - 1)
    rtn 0

cmt arr_sift a, root, n: moves the element at root down the heap held in the
cmt first n elements of a until neither child is larger (about log n steps)
oxelfn arr_sift.a, root, n
    (v. get a, root)
    going1
    lo64 w going == 1
        (child. root * 2)
        (child. child + 1)
        if child >= n
            going0
        els
            (cv. get a, child)
            (other. child + 1)
            if other < n
                (ov. get a, other)
                if ov > cv
                    (child. other)
                    (cv. ov)
            if cv > v
                set a, root, cv
                (root. child)
            els
                going0
    set a, root, v
    rtn 0

cmt arr_search a, v: the first index of v in the sorted array a, or -1
cmt (binary search: at most 21 steps for the largest array)
oxelfn arr_search.a, v
    first0
    (n. len a)
    (stop. n)
    lo64 w first < stop
        (mid. first + stop)
        (mid. mid / 2)
        (mv. get a, mid)
        if mv < v
            (first. mid + 1)
        els
            (stop. mid)
    if first >= n
        rtn -1
    (fv. get a, first)
    if fv != v
        rtn -1
    rtn first

cmt arr_fill a, v: every element of a becomes v
oxelfn arr_fill.a, v
    (n. len a)
    i0
    lo1000000 w i < n
        set a, i, v
        (i. i + 1)
    rtn 0

cmt arr_reverse a: the elements of a in the opposite order, in place
oxelfn arr_reverse.a
    first0
    (stop. len a)
    (stop. stop - 1)
    lo1000000 w first < stop
        (x. get a, first)
        (y. get a, stop)
        set a, first, y
        set a, stop, x
        (first. first + 1)
        (stop. stop - 1)
    rtn 0
