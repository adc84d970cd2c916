format.oxh
(r. fmt_fixed 0.0, 0)
echo r
(r. fmt_fixed 0.0, 1)
echo r
(r. fmt_fixed 0.0, 2)
echo r
(r. fmt_fixed 0.0, 3)
echo r
(r. fmt_fixed 0.0, 9)
echo r
(r. fmt_fixed 0.0, 17)
echo r
(r. fmt_fixed -0.0, 0)
echo r
(r. fmt_fixed -0.0, 1)
echo r
(r. fmt_fixed -0.0, 2)
echo r
(r. fmt_fixed -0.0, 3)
echo r
(r. fmt_fixed -0.0, 9)
echo r
(r. fmt_fixed -0.0, 17)
echo r
(r. fmt_fixed 0.5, 0)
echo r
(r. fmt_fixed 0.5, 1)
echo r
(r. fmt_fixed 0.5, 2)
echo r
(r. fmt_fixed 0.5, 3)
echo r
(r. fmt_fixed 0.5, 9)
echo r
(r. fmt_fixed 0.5, 17)
echo r
(r. fmt_fixed 1.5, 0)
echo r
(r. fmt_fixed 1.5, 1)
echo r
(r. fmt_fixed 1.5, 2)
echo r
(r. fmt_fixed 1.5, 3)
echo r
(r. fmt_fixed 1.5, 9)
echo r
(r. fmt_fixed 1.5, 17)
echo r
(r. fmt_fixed 2.5, 0)
echo r
(r. fmt_fixed 2.5, 1)
echo r
(r. fmt_fixed 2.5, 2)
echo r
(r. fmt_fixed 2.5, 3)
echo r
(r. fmt_fixed 2.5, 9)
echo r
(r. fmt_fixed 2.5, 17)
echo r
(r. fmt_fixed -2.5, 0)
echo r
(r. fmt_fixed -2.5, 1)
echo r
(r. fmt_fixed -2.5, 2)
echo r
(r. fmt_fixed -2.5, 3)
echo r
(r. fmt_fixed -2.5, 9)
echo r
(r. fmt_fixed -2.5, 17)
echo r
(r. fmt_fixed 0.125, 0)
echo r
(r. fmt_fixed 0.125, 1)
echo r
(r. fmt_fixed 0.125, 2)
echo r
(r. fmt_fixed 0.125, 3)
echo r
(r. fmt_fixed 0.125, 9)
echo r
(r. fmt_fixed 0.125, 17)
echo r
(r. fmt_fixed 0.375, 0)
echo r
(r. fmt_fixed 0.375, 1)
echo r
(r. fmt_fixed 0.375, 2)
echo r
(r. fmt_fixed 0.375, 3)
echo r
(r. fmt_fixed 0.375, 9)
echo r
(r. fmt_fixed 0.375, 17)
echo r
(r. fmt_fixed 1.005, 0)
echo r
(r. fmt_fixed 1.005, 1)
echo r
(r. fmt_fixed 1.005, 2)
echo r
(r. fmt_fixed 1.005, 3)
echo r
(r. fmt_fixed 1.005, 9)
echo r
(r. fmt_fixed 1.005, 17)
echo r
(r. fmt_fixed 2.675, 0)
echo r
(r. fmt_fixed 2.675, 1)
echo r
(r. fmt_fixed 2.675, 2)
echo r
(r. fmt_fixed 2.675, 3)
echo r
(r. fmt_fixed 2.675, 9)
echo r
(r. fmt_fixed 2.675, 17)
echo r
(r. fmt_fixed 0.045, 0)
echo r
(r. fmt_fixed 0.045, 1)
echo r
(r. fmt_fixed 0.045, 2)
echo r
(r. fmt_fixed 0.045, 3)
echo r
(r. fmt_fixed 0.045, 9)
echo r
(r. fmt_fixed 0.045, 17)
echo r
(r. fmt_fixed 9.995, 0)
echo r
(r. fmt_fixed 9.995, 1)
echo r
(r. fmt_fixed 9.995, 2)
echo r
(r. fmt_fixed 9.995, 3)
echo r
(r. fmt_fixed 9.995, 9)
echo r
(r. fmt_fixed 9.995, 17)
echo r
(r. fmt_fixed -9.995, 0)
echo r
(r. fmt_fixed -9.995, 1)
echo r
(r. fmt_fixed -9.995, 2)
echo r
(r. fmt_fixed -9.995, 3)
echo r
(r. fmt_fixed -9.995, 9)
echo r
(r. fmt_fixed -9.995, 17)
echo r
(r. fmt_fixed 0.05, 0)
echo r
(r. fmt_fixed 0.05, 1)
echo r
(r. fmt_fixed 0.05, 2)
echo r
(r. fmt_fixed 0.05, 3)
echo r
(r. fmt_fixed 0.05, 9)
echo r
(r. fmt_fixed 0.05, 17)
echo r
(r. fmt_fixed 123.456, 0)
echo r
(r. fmt_fixed 123.456, 1)
echo r
(r. fmt_fixed 123.456, 2)
echo r
(r. fmt_fixed 123.456, 3)
echo r
(r. fmt_fixed 123.456, 9)
echo r
(r. fmt_fixed 123.456, 17)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 0)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 1)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 2)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 3)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 9)
echo r
(r. fmt_fixed 0x1.ad7f29abcaf48p-24, 17)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 0)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 1)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 2)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 3)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 9)
echo r
(r. fmt_fixed 0x0.0000000000001p-1022, 17)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 0)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 1)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 2)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 3)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 9)
echo r
(r. fmt_fixed 0x1.56e1fc2f8f359p-997, 17)
echo r
(r. fmt_fixed 0.1, 0)
echo r
(r. fmt_fixed 0.1, 1)
echo r
(r. fmt_fixed 0.1, 2)
echo r
(r. fmt_fixed 0.1, 3)
echo r
(r. fmt_fixed 0.1, 9)
echo r
(r. fmt_fixed 0.1, 17)
echo r
(r. fmt_fixed 0.2, 0)
echo r
(r. fmt_fixed 0.2, 1)
echo r
(r. fmt_fixed 0.2, 2)
echo r
(r. fmt_fixed 0.2, 3)
echo r
(r. fmt_fixed 0.2, 9)
echo r
(r. fmt_fixed 0.2, 17)
echo r
(r. fmt_fixed 0.3, 0)
echo r
(r. fmt_fixed 0.3, 1)
echo r
(r. fmt_fixed 0.3, 2)
echo r
(r. fmt_fixed 0.3, 3)
echo r
(r. fmt_fixed 0.3, 9)
echo r
(r. fmt_fixed 0.3, 17)
echo r
(r. fmt_fixed 0.3333333333333333, 0)
echo r
(r. fmt_fixed 0.3333333333333333, 1)
echo r
(r. fmt_fixed 0.3333333333333333, 2)
echo r
(r. fmt_fixed 0.3333333333333333, 3)
echo r
(r. fmt_fixed 0.3333333333333333, 9)
echo r
(r. fmt_fixed 0.3333333333333333, 17)
echo r
(r. fmt_fixed 0.6666666666666666, 0)
echo r
(r. fmt_fixed 0.6666666666666666, 1)
echo r
(r. fmt_fixed 0.6666666666666666, 2)
echo r
(r. fmt_fixed 0.6666666666666666, 3)
echo r
(r. fmt_fixed 0.6666666666666666, 9)
echo r
(r. fmt_fixed 0.6666666666666666, 17)
echo r
(r. fmt_fixed 999.9995, 0)
echo r
(r. fmt_fixed 999.9995, 1)
echo r
(r. fmt_fixed 999.9995, 2)
echo r
(r. fmt_fixed 999.9995, 3)
echo r
(r. fmt_fixed 999.9995, 9)
echo r
(r. fmt_fixed 999.9995, 17)
echo r
(r. fmt_fixed 9.5, 0)
echo r
(r. fmt_fixed 9.5, 1)
echo r
(r. fmt_fixed 9.5, 2)
echo r
(r. fmt_fixed 9.5, 3)
echo r
(r. fmt_fixed 9.5, 9)
echo r
(r. fmt_fixed 9.5, 17)
echo r
(r. fmt_fixed 10.5, 0)
echo r
(r. fmt_fixed 10.5, 1)
echo r
(r. fmt_fixed 10.5, 2)
echo r
(r. fmt_fixed 10.5, 3)
echo r
(r. fmt_fixed 10.5, 9)
echo r
(r. fmt_fixed 10.5, 17)
echo r
(r. fmt_fixed 4503599627370495.5, 0)
echo r
(r. fmt_fixed 4503599627370495.5, 1)
echo r
(r. fmt_fixed 4503599627370495.5, 2)
echo r
(r. fmt_fixed 4503599627370495.5, 3)
echo r
(r. fmt_fixed 4503599627370495.5, 9)
echo r
(r. fmt_fixed 4503599627370495.5, 17)
echo r
(r. fmt_fixed 4503599627370496.0, 0)
echo r
(r. fmt_fixed 4503599627370496.0, 1)
echo r
(r. fmt_fixed 4503599627370496.0, 2)
echo r
(r. fmt_fixed 4503599627370496.0, 3)
echo r
(r. fmt_fixed 4503599627370496.0, 9)
echo r
(r. fmt_fixed 4503599627370496.0, 17)
echo r
(r. fmt_fixed 9007199254740992.0, 0)
echo r
(r. fmt_fixed 9007199254740992.0, 1)
echo r
(r. fmt_fixed 9007199254740992.0, 2)
echo r
(r. fmt_fixed 9007199254740992.0, 3)
echo r
(r. fmt_fixed 9007199254740992.0, 9)
echo r
(r. fmt_fixed 9007199254740992.0, 17)
echo r
(r. fmt_fixed 1000000000000000.2, 0)
echo r
(r. fmt_fixed 1000000000000000.2, 1)
echo r
(r. fmt_fixed 1000000000000000.2, 2)
echo r
(r. fmt_fixed 1000000000000000.2, 3)
echo r
(r. fmt_fixed 1000000000000000.2, 9)
echo r
(r. fmt_fixed 1000000000000000.2, 17)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 0)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 1)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 2)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 3)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 9)
echo r
(r. fmt_fixed 0x1.feb3dd0676600p+62, 17)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 0)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 1)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 2)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 3)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 9)
echo r
(r. fmt_fixed -0x1.feb3dd0676600p+62, 17)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 0)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 1)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 2)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 3)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 9)
echo r
(r. fmt_fixed 0x1.fffffffffffffp+62, 17)
echo r
(r. fmt_fixed 0.9999999999999999, 0)
echo r
(r. fmt_fixed 0.9999999999999999, 1)
echo r
(r. fmt_fixed 0.9999999999999999, 2)
echo r
(r. fmt_fixed 0.9999999999999999, 3)
echo r
(r. fmt_fixed 0.9999999999999999, 9)
echo r
(r. fmt_fixed 0.9999999999999999, 17)
echo r
(r. fmt_fixed 0.49999999999999994, 0)
echo r
(r. fmt_fixed 0.49999999999999994, 1)
echo r
(r. fmt_fixed 0.49999999999999994, 2)
echo r
(r. fmt_fixed 0.49999999999999994, 3)
echo r
(r. fmt_fixed 0.49999999999999994, 9)
echo r
(r. fmt_fixed 0.49999999999999994, 17)
echo r
(r. fmt_fixed 9223372036854775807, 2)
echo r
(r. fmt_fixed -9223372036854775808, 3)
echo r
(r. fmt_fixed 0, 0)
echo r
(r. fmt_fixed 7, 17)
echo r
(r. fmt_fixed -1, 1)
echo r
big9223372036854775808.0
(r. fmt_fixed big, 2)
(n. len r)
echo n
(r. fmt_fixed 1.5, 18)
(n. len r)
echo n
(r. fmt_fixed 1.5, -1)
(n. len r)
echo n
word "inf"
(x. word * 1.0)
(r. fmt_fixed x, 3)
echo r
(x. x * -1.0)
(r. fmt_fixed x, 3)
echo r
word "nan"
(x. word * 1.0)
(r. fmt_fixed x, 3)
echo r
(r. fmt_hex 0)
echo r
(r. fmt_hex 1)
echo r
(r. fmt_hex 9)
echo r
(r. fmt_hex 10)
echo r
(r. fmt_hex 15)
echo r
(r. fmt_hex 16)
echo r
(r. fmt_hex 255)
echo r
(r. fmt_hex 4096)
echo r
(r. fmt_hex 48879)
echo r
(r. fmt_hex 9223372036854775807)
echo r
(r. fmt_hex -9223372036854775808)
echo r
(r. fmt_hex -1)
echo r
(r. fmt_hex -2)
echo r
(r. fmt_zeros 5, 4)
echo r
(r. fmt_zeros -5, 4)
echo r
(r. fmt_zeros 0, 3)
echo r
(r. fmt_zeros 123, 2)
echo r
(r. fmt_zeros -123, 0)
echo r
(r. fmt_zeros -9223372036854775808, 22)
echo r
(r. fmt_zeros -9223372036854775808, 1)
echo r
(r. fmt_zeros 9223372036854775807, 21)
echo r
(r. fmt_zeros -9, 2)
echo r
(r. fmt_zeros -10, 2)
echo r
(r. fmt_zeros 7, -4)
echo r
(r. fmt_right 42, 6)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left 42, 6)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_right "ab", 4)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left "ab", 4)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_right "ab", 1)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left "ab", 1)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_right -1.5, 6)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left -1.5, 6)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_right "", 3)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left "", 3)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_right 7, -2)
(r. cat "[", r)
(r. cat r, "]")
echo r
(r. fmt_left 7, -2)
(r. cat "[", r)
(r. cat r, "]")
echo r
