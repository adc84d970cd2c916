cmt ten random floats between 0 and 1000, sorted, beside their square roots,
cmt with 9 decimals; the library's headers are in ../lib, as they are in the
cmt source tree and where the examples are installed
../lib/random.oxh
../lib/floatbits.oxh
../lib/arrays.oxh
../lib/format.oxh
(g. rng_new 2026)
values(10)
i0
lo10
    (x. rng_float g)
    (x. x * 1000.0)
    farr_set(values, i, x)
    (i. i + 1)
cmt positive floats sort as their bit patterns do
arr_sort(values)
(head. fmt_left "value", 15)
(head. cat head, "square root")
echo head
i0
lo10
    (x. farr_get values, i)
    (r. sqrt. x)
    (a. fmt_fixed x, 9)
    (a. fmt_right a, 13)
    (b. fmt_fixed r, 9)
    (b. fmt_right b, 15)
    (row. cat a, b)
    echo row
    (i. i + 1)
