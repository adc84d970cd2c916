math.oxh
(r. min 3, 7)
echo r
(r. max 3, 7)
echo r
(r. min 7, 3)
echo r
(r. max 7, 3)
echo r
(r. min -4, 2)
echo r
(r. max -4, 2)
echo r
(r. min 2.5, 2.5)
echo r
(r. max 2.5, 2.5)
echo r
(r. min -9223372036854775808, 9223372036854775807)
echo r
(r. max -9223372036854775808, 9223372036854775807)
echo r
(r. absolute 0)
echo r
(r. absolute 5)
echo r
(r. absolute -5)
echo r
(r. absolute 9223372036854775807)
echo r
(r. absolute -9223372036854775808)
echo r
(r. gcd 12, 18)
echo r
(r. gcd -12, 18)
echo r
(r. gcd 12, -18)
echo r
(r. gcd 0, 0)
echo r
(r. gcd 0, 5)
echo r
(r. gcd -5, 0)
echo r
(r. gcd 17, 5)
echo r
(r. gcd -9223372036854775808, 6)
echo r
(r. gcd 6, -9223372036854775808)
echo r
(r. gcd -9223372036854775808, -1)
echo r
(r. gcd -9223372036854775808, -9223372036854775808)
echo r
(r. gcd -9223372036854775808, 0)
echo r
(r. gcd 9223372036854775807, 9223372036854775806)
echo r
(r. gcd 4611686018427387904, 1099511627776)
echo r
(r. gcd 832040, 514229)
echo r
(r. isqrt -1)
echo r
(r. isqrt 0)
echo r
(r. isqrt 1)
echo r
(r. isqrt 2)
echo r
(r. isqrt 3)
echo r
(r. isqrt 4)
echo r
(r. isqrt 15)
echo r
(r. isqrt 16)
echo r
(r. isqrt 17)
echo r
(r. isqrt 99)
echo r
(r. isqrt 100)
echo r
(r. isqrt 4503599627370497)
echo r
(r. isqrt 4503599761588224)
echo r
(r. isqrt 1000000000000000000)
echo r
(r. isqrt 9223372030926249001)
echo r
(r. isqrt 9223372030926249000)
echo r
(r. isqrt 9223372036854775807)
echo r
(r. isqrt 4503599761588224)
echo r
(r. isqrt 9007199254740993)
echo r
(r. mulmod 3, 4, 5)
echo r
(r. mulmod -3, 4, 5)
echo r
(r. mulmod 9223372036854775807, 9223372036854775807, 9223372036854775806)
echo r
(r. mulmod 9223372036854775806, 9223372036854775805, 9223372036854775807)
echo r
(r. mulmod 4611686018427387904, 4611686018427387904, 3037000507)
echo r
(r. mulmod 123456789123, 987654321987, 1000000007)
echo r
(r. mulmod -9223372036854775808, -9223372036854775808, 9223372036854775807)
echo r
(r. mulmod 5, 5, 1)
echo r
(r. mulmod 1, 1, 0)
echo r
(r. mulmod 3037000498, 3037000498, 3037000499)
echo r
(r. mulmod 3037000505, 3037000505, 3037000506)
echo r
(r. mulmod 2305843009213693952, 2, 4611686018427387904)
echo r
(r. mulmod 2305843009213693952, 3, 4611686018427387904)
echo r
(r. mulmod 2305843009213693952, 3, 6917529027641081856)
echo r
(r. mulmod 4611686018427387903, 2, 9223372036854775806)
echo r
(r. mulmod 9223372036854775806, 9223372036854775806, 9223372036854775807)
echo r
(r. powmod 2, 10, 1000)
echo r
(r. powmod 2, 0, 1)
echo r
(r. powmod 2, 0, 7)
echo r
(r. powmod 3, 200, 1000000007)
echo r
(r. powmod -2, 3, 5)
echo r
(r. powmod 5, 9223372036854775807, 9223372036854775807)
echo r
(r. powmod 2, 62, 9223372036854775807)
echo r
(r. powmod 7, 5, 0)
echo r
(r. powmod 7, -1, 5)
echo r
(r. powmod 123456789, 987654321, 2305843009213693951)
echo r
