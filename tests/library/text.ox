text.oxh
alpha "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
(big. text_repeat alpha, 50)
s "hello world"
e ""
(r. text_sub s, 0, 5)
(k. len r)
echo k
echo r
(r. text_sub s, 6, 100)
(k. len r)
echo k
echo r
(r. text_sub s, -3, 5)
(k. len r)
echo k
echo r
(r. text_sub s, -20, 5)
(k. len r)
echo k
echo r
(r. text_sub s, 11, 1)
(k. len r)
echo k
echo r
(r. text_sub s, 10, 1)
(k. len r)
echo k
echo r
(r. text_sub s, 0, 0)
(k. len r)
echo k
echo r
(r. text_sub s, 3, -1)
(k. len r)
echo k
echo r
(r. text_sub s, 0, 11)
(k. len r)
echo k
echo r
(r. text_sub s, -9223372036854775808, 9223372036854775807)
(k. len r)
echo k
echo r
(r. text_sub s, 9223372036854775807, 9223372036854775807)
(k. len r)
echo k
echo r
(r. text_sub s, 2, 9223372036854775807)
(k. len r)
echo k
echo r
(r. text_sub e, 0, 1)
(k. len r)
echo k
echo r
(r. text_sub alpha, 1, 61)
(k. len r)
echo k
echo r
(r. text_sub big, 7, 2000)
(k. len r)
echo k
echo r
(r. text_sub big, 3099, 5)
(k. len r)
echo k
echo r
(r. text_sub big, 31, 33)
(k. len r)
echo k
echo r
(r. text_sub big, 0, 3100)
(k. len r)
echo k
echo r
(r. text_find s, "o", 0)
echo r
(r. text_find s, "o", 5)
echo r
(r. text_find s, "o", 8)
echo r
(r. text_find s, "world", 0)
echo r
(r. text_find s, "worlds", 0)
echo r
(r. text_find s, "d", 10)
echo r
(r. text_find s, "d", 11)
echo r
(r. text_find s, "", 11)
echo r
(r. text_find s, "", 12)
echo r
(r. text_find s, "h", -5)
echo r
(r. text_find e, "", 0)
echo r
(r. text_find e, "a", 0)
echo r
(r. text_find big, "XYZa", 0)
echo r
(r. text_find big, "XYZa", 100)
echo r
(r. text_find big, "789", 3000)
echo r
(r. text_find s, "hello world!", 0)
echo r
(r. text_find s, "l", 9223372036854775807)
echo r
(r. text_find s, "l", -9223372036854775808)
echo r
(r. text_repeat "ab", 0)
echo r
(r. text_repeat "ab", 1)
echo r
(r. text_repeat "ab", 7)
echo r
(r. text_repeat "ab", -3)
echo r
(r. text_repeat "", 5)
echo r
(r. text_repeat 7, 3)
echo r
