floatbits.oxh
a(135)
word "0x0.0p+0"
(x. word * 1.0)
farr_set(a, 0, x)
(b. get a, 0)
echo b
(y. farr_get a, 0)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x0.0p+0"
(x. word * 1.0)
farr_set(a, 1, x)
(b. get a, 1)
echo b
(y. farr_get a, 1)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+0"
(x. word * 1.0)
farr_set(a, 2, x)
(b. get a, 2)
echo b
(y. farr_get a, 2)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.0000000000000p+0"
(x. word * 1.0)
farr_set(a, 3, x)
(b. get a, 3)
echo b
(y. farr_get a, 3)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.999999999999ap-4"
(x. word * 1.0)
farr_set(a, 4, x)
(b. get a, 4)
echo b
(y. farr_get a, 4)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+0"
(x. word * 1.0)
farr_set(a, 5, x)
(b. get a, 5)
echo b
(y. farr_get a, 5)
(c. float_bits y)
if c != b
    echo "changed"
word "0x0.0000000000001p-1022"
(x. word * 1.0)
farr_set(a, 6, x)
(b. get a, 6)
echo b
(y. farr_get a, 6)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x0.0000000000001p-1022"
(x. word * 1.0)
farr_set(a, 7, x)
(b. get a, 7)
echo b
(y. farr_get a, 7)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-1022"
(x. word * 1.0)
farr_set(a, 8, x)
(b. get a, 8)
echo b
(y. farr_get a, 8)
(c. float_bits y)
if c != b
    echo "changed"
word "0x0.fffffffffffffp-1022"
(x. word * 1.0)
farr_set(a, 9, x)
(b. get a, 9)
echo b
(y. farr_get a, 9)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+1023"
(x. word * 1.0)
farr_set(a, 10, x)
(b. get a, 10)
echo b
(y. farr_get a, 10)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.fffffffffffffp+1023"
(x. word * 1.0)
farr_set(a, 11, x)
(b. get a, 11)
echo b
(y. farr_get a, 11)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+1023"
(x. word * 1.0)
farr_set(a, 12, x)
(b. get a, 12)
echo b
(y. farr_get a, 12)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-1022"
(x. word * 1.0)
farr_set(a, 13, x)
(b. get a, 13)
echo b
(y. farr_get a, 13)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+1"
(x. word * 1.0)
farr_set(a, 14, x)
(b. get a, 14)
echo b
(y. farr_get a, 14)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.7e43c8800759cp+996"
(x. word * 1.0)
farr_set(a, 15, x)
(b. get a, 15)
echo b
(y. farr_get a, 15)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.56e1fc2f8f359p-997"
(x. word * 1.0)
farr_set(a, 16, x)
(b. get a, 16)
echo b
(y. farr_get a, 16)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.e240c9fbe76c9p+16"
(x. word * 1.0)
farr_set(a, 17, x)
(b. get a, 17)
echo b
(y. farr_get a, 17)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000001p+53"
(x. word * 1.0)
farr_set(a, 18, x)
(b. get a, 18)
echo b
(y. farr_get a, 18)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-1"
(x. word * 1.0)
farr_set(a, 19, x)
(b. get a, 19)
echo b
(y. farr_get a, 19)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+0"
(x. word * 1.0)
farr_set(a, 20, x)
(b. get a, 20)
echo b
(y. farr_get a, 20)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+1"
(x. word * 1.0)
farr_set(a, 21, x)
(b. get a, 21)
echo b
(y. farr_get a, 21)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-1"
(x. word * 1.0)
farr_set(a, 22, x)
(b. get a, 22)
echo b
(y. farr_get a, 22)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+1"
(x. word * 1.0)
farr_set(a, 23, x)
(b. get a, 23)
echo b
(y. farr_get a, 23)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+0"
(x. word * 1.0)
farr_set(a, 24, x)
(b. get a, 24)
echo b
(y. farr_get a, 24)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+2"
(x. word * 1.0)
farr_set(a, 25, x)
(b. get a, 25)
echo b
(y. farr_get a, 25)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-2"
(x. word * 1.0)
farr_set(a, 26, x)
(b. get a, 26)
echo b
(y. farr_get a, 26)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+2"
(x. word * 1.0)
farr_set(a, 27, x)
(b. get a, 27)
echo b
(y. farr_get a, 27)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+1"
(x. word * 1.0)
farr_set(a, 28, x)
(b. get a, 28)
echo b
(y. farr_get a, 28)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+4"
(x. word * 1.0)
farr_set(a, 29, x)
(b. get a, 29)
echo b
(y. farr_get a, 29)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-4"
(x. word * 1.0)
farr_set(a, 30, x)
(b. get a, 30)
echo b
(y. farr_get a, 30)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+4"
(x. word * 1.0)
farr_set(a, 31, x)
(b. get a, 31)
echo b
(y. farr_get a, 31)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+3"
(x. word * 1.0)
farr_set(a, 32, x)
(b. get a, 32)
echo b
(y. farr_get a, 32)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+8"
(x. word * 1.0)
farr_set(a, 33, x)
(b. get a, 33)
echo b
(y. farr_get a, 33)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-8"
(x. word * 1.0)
farr_set(a, 34, x)
(b. get a, 34)
echo b
(y. farr_get a, 34)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+8"
(x. word * 1.0)
farr_set(a, 35, x)
(b. get a, 35)
echo b
(y. farr_get a, 35)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+7"
(x. word * 1.0)
farr_set(a, 36, x)
(b. get a, 36)
echo b
(y. farr_get a, 36)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+16"
(x. word * 1.0)
farr_set(a, 37, x)
(b. get a, 37)
echo b
(y. farr_get a, 37)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-16"
(x. word * 1.0)
farr_set(a, 38, x)
(b. get a, 38)
echo b
(y. farr_get a, 38)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+16"
(x. word * 1.0)
farr_set(a, 39, x)
(b. get a, 39)
echo b
(y. farr_get a, 39)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+15"
(x. word * 1.0)
farr_set(a, 40, x)
(b. get a, 40)
echo b
(y. farr_get a, 40)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+32"
(x. word * 1.0)
farr_set(a, 41, x)
(b. get a, 41)
echo b
(y. farr_get a, 41)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-32"
(x. word * 1.0)
farr_set(a, 42, x)
(b. get a, 42)
echo b
(y. farr_get a, 42)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+32"
(x. word * 1.0)
farr_set(a, 43, x)
(b. get a, 43)
echo b
(y. farr_get a, 43)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+31"
(x. word * 1.0)
farr_set(a, 44, x)
(b. get a, 44)
echo b
(y. farr_get a, 44)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+64"
(x. word * 1.0)
farr_set(a, 45, x)
(b. get a, 45)
echo b
(y. farr_get a, 45)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-64"
(x. word * 1.0)
farr_set(a, 46, x)
(b. get a, 46)
echo b
(y. farr_get a, 46)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+64"
(x. word * 1.0)
farr_set(a, 47, x)
(b. get a, 47)
echo b
(y. farr_get a, 47)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+63"
(x. word * 1.0)
farr_set(a, 48, x)
(b. get a, 48)
echo b
(y. farr_get a, 48)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+128"
(x. word * 1.0)
farr_set(a, 49, x)
(b. get a, 49)
echo b
(y. farr_get a, 49)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-128"
(x. word * 1.0)
farr_set(a, 50, x)
(b. get a, 50)
echo b
(y. farr_get a, 50)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+128"
(x. word * 1.0)
farr_set(a, 51, x)
(b. get a, 51)
echo b
(y. farr_get a, 51)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+127"
(x. word * 1.0)
farr_set(a, 52, x)
(b. get a, 52)
echo b
(y. farr_get a, 52)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+256"
(x. word * 1.0)
farr_set(a, 53, x)
(b. get a, 53)
echo b
(y. farr_get a, 53)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-256"
(x. word * 1.0)
farr_set(a, 54, x)
(b. get a, 54)
echo b
(y. farr_get a, 54)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+256"
(x. word * 1.0)
farr_set(a, 55, x)
(b. get a, 55)
echo b
(y. farr_get a, 55)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+255"
(x. word * 1.0)
farr_set(a, 56, x)
(b. get a, 56)
echo b
(y. farr_get a, 56)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+512"
(x. word * 1.0)
farr_set(a, 57, x)
(b. get a, 57)
echo b
(y. farr_get a, 57)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-512"
(x. word * 1.0)
farr_set(a, 58, x)
(b. get a, 58)
echo b
(y. farr_get a, 58)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+512"
(x. word * 1.0)
farr_set(a, 59, x)
(b. get a, 59)
echo b
(y. farr_get a, 59)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+511"
(x. word * 1.0)
farr_set(a, 60, x)
(b. get a, 60)
echo b
(y. farr_get a, 60)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+768"
(x. word * 1.0)
farr_set(a, 61, x)
(b. get a, 61)
echo b
(y. farr_get a, 61)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-768"
(x. word * 1.0)
farr_set(a, 62, x)
(b. get a, 62)
echo b
(y. farr_get a, 62)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+768"
(x. word * 1.0)
farr_set(a, 63, x)
(b. get a, 63)
echo b
(y. farr_get a, 63)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+767"
(x. word * 1.0)
farr_set(a, 64, x)
(b. get a, 64)
echo b
(y. farr_get a, 64)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+1000"
(x. word * 1.0)
farr_set(a, 65, x)
(b. get a, 65)
echo b
(y. farr_get a, 65)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p-1000"
(x. word * 1.0)
farr_set(a, 66, x)
(b. get a, 66)
echo b
(y. farr_get a, 66)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+1000"
(x. word * 1.0)
farr_set(a, 67, x)
(b. get a, 67)
echo b
(y. farr_get a, 67)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+999"
(x. word * 1.0)
farr_set(a, 68, x)
(b. get a, 68)
echo b
(y. farr_get a, 68)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0000000000000p+1023"
(x. word * 1.0)
farr_set(a, 69, x)
(b. get a, 69)
echo b
(y. farr_get a, 69)
(c. float_bits y)
if c != b
    echo "changed"
word "0x0.8000000000000p-1022"
(x. word * 1.0)
farr_set(a, 70, x)
(b. get a, 70)
echo b
(y. farr_get a, 70)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8000000000000p+1023"
(x. word * 1.0)
farr_set(a, 71, x)
(b. get a, 71)
echo b
(y. farr_get a, 71)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.fffffffffffffp+1022"
(x. word * 1.0)
farr_set(a, 72, x)
(b. get a, 72)
echo b
(y. farr_get a, 72)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.59faeecc3f80cp+121"
(x. word * 1.0)
farr_set(a, 73, x)
(b. get a, 73)
echo b
(y. farr_get a, 73)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.7fa2df2d7d40fp+164"
(x. word * 1.0)
farr_set(a, 74, x)
(b. get a, 74)
echo b
(y. farr_get a, 74)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.375dce47682e6p+327"
(x. word * 1.0)
farr_set(a, 75, x)
(b. get a, 75)
echo b
(y. farr_get a, 75)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.f21da156393d8p-954"
(x. word * 1.0)
farr_set(a, 76, x)
(b. get a, 76)
echo b
(y. farr_get a, 76)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.6c4fa978f18a7p+233"
(x. word * 1.0)
farr_set(a, 77, x)
(b. get a, 77)
echo b
(y. farr_get a, 77)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.244c06c7ab5c9p+530"
(x. word * 1.0)
farr_set(a, 78, x)
(b. get a, 78)
echo b
(y. farr_get a, 78)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.b1eec87b3d90ep+443"
(x. word * 1.0)
farr_set(a, 79, x)
(b. get a, 79)
echo b
(y. farr_get a, 79)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.8249e215b8892p-98"
(x. word * 1.0)
farr_set(a, 80, x)
(b. get a, 80)
echo b
(y. farr_get a, 80)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.324943126b9c3p+72"
(x. word * 1.0)
farr_set(a, 81, x)
(b. get a, 81)
echo b
(y. farr_get a, 81)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.a7b8871cf92e3p-966"
(x. word * 1.0)
farr_set(a, 82, x)
(b. get a, 82)
echo b
(y. farr_get a, 82)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.2d776389605fep-531"
(x. word * 1.0)
farr_set(a, 83, x)
(b. get a, 83)
echo b
(y. farr_get a, 83)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.30f0a747d0a2bp+622"
(x. word * 1.0)
farr_set(a, 84, x)
(b. get a, 84)
echo b
(y. farr_get a, 84)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.c3f27065720cep-590"
(x. word * 1.0)
farr_set(a, 85, x)
(b. get a, 85)
echo b
(y. farr_get a, 85)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.4ccc515f54a5cp+948"
(x. word * 1.0)
farr_set(a, 86, x)
(b. get a, 86)
echo b
(y. farr_get a, 86)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.cb6d1b5c318e9p+1017"
(x. word * 1.0)
farr_set(a, 87, x)
(b. get a, 87)
echo b
(y. farr_get a, 87)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.32a7e6bd6eed6p-943"
(x. word * 1.0)
farr_set(a, 88, x)
(b. get a, 88)
echo b
(y. farr_get a, 88)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.eb4e5833bfa03p-501"
(x. word * 1.0)
farr_set(a, 89, x)
(b. get a, 89)
echo b
(y. farr_get a, 89)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.944d3bbf5204ap+743"
(x. word * 1.0)
farr_set(a, 90, x)
(b. get a, 90)
echo b
(y. farr_get a, 90)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.176d55be72f6ep+86"
(x. word * 1.0)
farr_set(a, 91, x)
(b. get a, 91)
echo b
(y. farr_get a, 91)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.3f4510ebbe4d0p-181"
(x. word * 1.0)
farr_set(a, 92, x)
(b. get a, 92)
echo b
(y. farr_get a, 92)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.a0e01c8796571p-879"
(x. word * 1.0)
farr_set(a, 93, x)
(b. get a, 93)
echo b
(y. farr_get a, 93)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.db53096d0cbffp+488"
(x. word * 1.0)
farr_set(a, 94, x)
(b. get a, 94)
echo b
(y. farr_get a, 94)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.3a513a86cf7b4p-319"
(x. word * 1.0)
farr_set(a, 95, x)
(b. get a, 95)
echo b
(y. farr_get a, 95)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.ebe5a9ef94bdap-139"
(x. word * 1.0)
farr_set(a, 96, x)
(b. get a, 96)
echo b
(y. farr_get a, 96)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.6c297f8821a96p-60"
(x. word * 1.0)
farr_set(a, 97, x)
(b. get a, 97)
echo b
(y. farr_get a, 97)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.68e935cdff86dp-755"
(x. word * 1.0)
farr_set(a, 98, x)
(b. get a, 98)
echo b
(y. farr_get a, 98)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.260fdc2816017p+452"
(x. word * 1.0)
farr_set(a, 99, x)
(b. get a, 99)
echo b
(y. farr_get a, 99)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.3a6835e620fe9p+896"
(x. word * 1.0)
farr_set(a, 100, x)
(b. get a, 100)
echo b
(y. farr_get a, 100)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.1920e9271a86fp+129"
(x. word * 1.0)
farr_set(a, 101, x)
(b. get a, 101)
echo b
(y. farr_get a, 101)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.10e12a918a1dcp+921"
(x. word * 1.0)
farr_set(a, 102, x)
(b. get a, 102)
echo b
(y. farr_get a, 102)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.f2f03507bef95p-725"
(x. word * 1.0)
farr_set(a, 103, x)
(b. get a, 103)
echo b
(y. farr_get a, 103)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.45cc115f2cd71p+264"
(x. word * 1.0)
farr_set(a, 104, x)
(b. get a, 104)
echo b
(y. farr_get a, 104)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.94610795c6ad3p-296"
(x. word * 1.0)
farr_set(a, 105, x)
(b. get a, 105)
echo b
(y. farr_get a, 105)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.b67bcb7c93640p+955"
(x. word * 1.0)
farr_set(a, 106, x)
(b. get a, 106)
echo b
(y. farr_get a, 106)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.f211e97323268p+170"
(x. word * 1.0)
farr_set(a, 107, x)
(b. get a, 107)
echo b
(y. farr_get a, 107)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.c4403728c2f7bp-304"
(x. word * 1.0)
farr_set(a, 108, x)
(b. get a, 108)
echo b
(y. farr_get a, 108)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0b1f5a472ea5fp-353"
(x. word * 1.0)
farr_set(a, 109, x)
(b. get a, 109)
echo b
(y. farr_get a, 109)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.ba3e32e99777fp+201"
(x. word * 1.0)
farr_set(a, 110, x)
(b. get a, 110)
echo b
(y. farr_get a, 110)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.9230b2db4cb47p-886"
(x. word * 1.0)
farr_set(a, 111, x)
(b. get a, 111)
echo b
(y. farr_get a, 111)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.1e3a652cb26d8p-313"
(x. word * 1.0)
farr_set(a, 112, x)
(b. get a, 112)
echo b
(y. farr_get a, 112)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.32575d0dd15d6p-941"
(x. word * 1.0)
farr_set(a, 113, x)
(b. get a, 113)
echo b
(y. farr_get a, 113)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.179a032135b34p-686"
(x. word * 1.0)
farr_set(a, 114, x)
(b. get a, 114)
echo b
(y. farr_get a, 114)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.364291d42d810p-686"
(x. word * 1.0)
farr_set(a, 115, x)
(b. get a, 115)
echo b
(y. farr_get a, 115)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.7abfb193e1ff7p+722"
(x. word * 1.0)
farr_set(a, 116, x)
(b. get a, 116)
echo b
(y. farr_get a, 116)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.91c4d09f78636p-745"
(x. word * 1.0)
farr_set(a, 117, x)
(b. get a, 117)
echo b
(y. farr_get a, 117)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.9fed6468b6467p+779"
(x. word * 1.0)
farr_set(a, 118, x)
(b. get a, 118)
echo b
(y. farr_get a, 118)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.4270192a474bbp+126"
(x. word * 1.0)
farr_set(a, 119, x)
(b. get a, 119)
echo b
(y. farr_get a, 119)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.7d5aed216fb71p-655"
(x. word * 1.0)
farr_set(a, 120, x)
(b. get a, 120)
echo b
(y. farr_get a, 120)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.a6f2354afa07ep-577"
(x. word * 1.0)
farr_set(a, 121, x)
(b. get a, 121)
echo b
(y. farr_get a, 121)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.e99915ea1a3d7p+615"
(x. word * 1.0)
farr_set(a, 122, x)
(b. get a, 122)
echo b
(y. farr_get a, 122)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.ac02449da1bd7p-851"
(x. word * 1.0)
farr_set(a, 123, x)
(b. get a, 123)
echo b
(y. farr_get a, 123)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.086cd4e068c8ep+593"
(x. word * 1.0)
farr_set(a, 124, x)
(b. get a, 124)
echo b
(y. farr_get a, 124)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.911c2c70fa585p+839"
(x. word * 1.0)
farr_set(a, 125, x)
(b. get a, 125)
echo b
(y. farr_get a, 125)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.232428c8ad616p-129"
(x. word * 1.0)
farr_set(a, 126, x)
(b. get a, 126)
echo b
(y. farr_get a, 126)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.7cfda4227b76ep-411"
(x. word * 1.0)
farr_set(a, 127, x)
(b. get a, 127)
echo b
(y. farr_get a, 127)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.187d71b6cb0b3p-533"
(x. word * 1.0)
farr_set(a, 128, x)
(b. get a, 128)
echo b
(y. farr_get a, 128)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.0983fc8a7b600p-534"
(x. word * 1.0)
farr_set(a, 129, x)
(b. get a, 129)
echo b
(y. farr_get a, 129)
(c. float_bits y)
if c != b
    echo "changed"
word "-0x1.a6e0eb5075a79p+185"
(x. word * 1.0)
farr_set(a, 130, x)
(b. get a, 130)
echo b
(y. farr_get a, 130)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.62e4bd41cdb62p+996"
(x. word * 1.0)
farr_set(a, 131, x)
(b. get a, 131)
echo b
(y. farr_get a, 131)
(c. float_bits y)
if c != b
    echo "changed"
word "0x1.8fc8d3cef4c40p+321"
(x. word * 1.0)
farr_set(a, 132, x)
(b. get a, 132)
echo b
(y. farr_get a, 132)
(c. float_bits y)
if c != b
    echo "changed"
word "inf"
(x. word * 1.0)
(b. float_bits x)
echo b
(y. bits_float b)
echo y
(x. x * -1.0)
(b. float_bits x)
echo b
(y. bits_float b)
echo y
(b. float_bits 3)
echo b
(b. float_bits -9223372036854775808)
echo b
word "nan"
(x. word * 1.0)
(b. float_bits x)
echo b
(y. bits_float b)
echo y
(y. bits_float -1)
echo y
