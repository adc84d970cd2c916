#!/usr/bin/env python3
"""Writes the library's golden programs (tests/library/*.ox) together with
their expected output (*.out), computed here with Python's own formatting,
struct, math and a reference SplitMix64, never by running oxelc.

    python3 tests/library/make_expected.py      (from the source tree's root)
"""
import math
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MIN = -2**63
MAX = 2**63 - 1


def wrap(v):
    v &= 2**64 - 1
    return v - 2**64 if v >= 2**63 else v


def lit(x):
    """An Oxel literal for the float x, read back exactly."""
    if math.isinf(x) or math.isnan(x):
        raise ValueError(x)
    r = repr(x)
    if "e" not in r and "." in r:
        return r
    return x.hex()


def write(name, prog, out):
    with open(os.path.join(HERE, name + ".ox"), "w", newline="\n") as f:
        f.write(prog)
    with open(os.path.join(HERE, name + ".out"), "wb") as f:
        f.write(out if isinstance(out, bytes) else out.encode())


def bits(x):
    return struct.unpack("<q", struct.pack("<d", x))[0]


def chars():
    prog = ["chars.oxh", "cmt every code, then codes outside the bytes", "k0", "lo256",
            "    (c. chr k)", "    (n. len c)", "    (line. cat k, \" \")", "    (line. cat line, n)",
            "    echo line", "    echo c", "    (k. k + 1)"]
    out = b""
    for k in range(256):
        n = 0 if k == 10 else 1
        out += f"{k} {n}\n".encode() + (b"" if k == 10 else bytes([k])) + b"\n"
    for k in (-1, 256, 1000, MIN, MAX):
        prog += [f"(c. chr {k})", "(n. len c)", "echo n"]
        out += b"0\n"
    write("chars", "\n".join(prog) + "\n", out)


def sub(s, start, n):
    if n <= 0 or start >= len(s):
        return ""
    n = min(n, len(s))
    if start < 0:
        n += start
        start = 0
    if n <= 0:
        return ""
    return s[start:min(start + n, len(s))]


def find(s, needle, start):
    start = max(start, 0)
    if start > len(s) - len(needle):
        return -1
    return s.find(needle, start)


def text():
    alpha = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    prog = ["text.oxh", f'alpha "{alpha}"', "(big. text_repeat alpha, 50)", 's "hello world"', 'e ""']
    out = []
    strings = {"alpha": alpha, "big": alpha * 50, "s": "hello world", "e": ""}
    subs = [("s", 0, 5), ("s", 6, 100), ("s", -3, 5), ("s", -20, 5), ("s", 11, 1), ("s", 10, 1),
            ("s", 0, 0), ("s", 3, -1), ("s", 0, 11), ("s", MIN, MAX), ("s", MAX, MAX), ("s", 2, MAX),
            ("e", 0, 1), ("alpha", 1, 61), ("big", 7, 2000), ("big", 3099, 5), ("big", 31, 33),
            ("big", 0, 3100)]
    for name, a, n in subs:
        prog += [f"(r. text_sub {name}, {a}, {n})", "(k. len r)", "echo k", "echo r"]
        r = sub(strings[name], a, n)
        out += [str(len(r)), r]
    finds = [("s", '"o"', "o", 0), ("s", '"o"', "o", 5), ("s", '"o"', "o", 8), ("s", '"world"', "world", 0),
             ("s", '"worlds"', "worlds", 0), ("s", '"d"', "d", 10), ("s", '"d"', "d", 11), ("s", '""', "", 11),
             ("s", '""', "", 12), ("s", '"h"', "h", -5), ("e", '""', "", 0), ("e", '"a"', "a", 0),
             ("big", '"XYZa"', "XYZa", 0), ("big", '"XYZa"', "XYZa", 100), ("big", '"789"', "789", 3000),
             ("s", '"hello world!"', "hello world!", 0), ("s", '"l"', "l", MAX), ("s", '"l"', "l", MIN)]
    for name, lit_, needle, a in finds:
        prog += [f"(r. text_find {name}, {lit_}, {a})", "echo r"]
        out.append(str(find(strings[name], needle, a)))
    for piece, n in (('"ab"', 0), ('"ab"', 1), ('"ab"', 7), ('"ab"', -3), ('""', 5), ("7", 3)):
        prog += [f"(r. text_repeat {piece}, {n})", "echo r"]
        out.append(("ab" if piece == '"ab"' else "" if piece == '""' else "7") * max(n, 0))
    write("text", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def fixed_cases():
    xs = [0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 1.005, 2.675, 0.045, 9.995, -9.995, 0.05,
          123.456, 1e-7, 5e-324, 1e-300, 0.1, 0.2, 0.3, 1 / 3, 2 / 3, 999.9995, 9.5, 10.5,
          4503599627370495.5, 4503599627370496.0, 9007199254740993.0, 1e15 + 0.3, 9.2e18,
          -9.2e18, 9223372036854774784.0, 0.9999999999999999, 0.49999999999999994]
    ds = [0, 1, 2, 3, 9, 17]
    cases = [(x, d) for x in xs for d in ds]
    cases += [(MAX, 2), (MIN, 3), (0, 0), (7, 17), (-1, 1)]
    return cases


def fmt():
    prog = ["format.oxh"]
    out = []
    for x, d in fixed_cases():
        v = lit(x) if isinstance(x, float) else str(x)
        prog += [f"(r. fmt_fixed {v}, {d})", "echo r"]
        # integers print exactly, where C would first make them floats
        out.append("%.*f" % (d, x) if isinstance(x, float) else str(x) + "." * (d > 0) + "0" * d)
    # refused, and the values C prints as words
    prog += ["big9223372036854775808.0", "(r. fmt_fixed big, 2)", "(n. len r)", "echo n",
             "(r. fmt_fixed 1.5, 18)", "(n. len r)", "echo n", "(r. fmt_fixed 1.5, -1)", "(n. len r)", "echo n",
             "word \"inf\"", "(x. word * 1.0)", "(r. fmt_fixed x, 3)", "echo r",
             "(x. x * -1.0)", "(r. fmt_fixed x, 3)", "echo r",
             "word \"nan\"", "(x. word * 1.0)", "(r. fmt_fixed x, 3)", "echo r"]
    out += ["0", "0", "0", "inf", "-inf", "nan"]
    for n in (0, 1, 9, 10, 15, 16, 255, 4096, 48879, MAX, MIN, -1, -2):
        prog += [f"(r. fmt_hex {n})", "echo r"]
        out.append("%x" % (n & (2**64 - 1)))
    for n, w in ((5, 4), (-5, 4), (0, 3), (123, 2), (-123, 0), (MIN, 22), (MIN, 1), (MAX, 21), (-9, 2),
                 (-10, 2), (7, -4)):
        prog += [f"(r. fmt_zeros {n}, {w})", "echo r"]
        out.append("%0*d" % (w, n) if w > 0 else "%d" % n)
    for v, w in (("42", 6), ('"ab"', 4), ('"ab"', 1), ("-1.5", 6), ('""', 3), ("7", -2)):
        pv = {"42": 42, '"ab"': "ab", "-1.5": "-1.5", '""': "", "7": 7}[v]
        prog += [f"(r. fmt_right {v}, {w})", "(r. cat \"[\", r)", "(r. cat r, \"]\")", "echo r",
                 f"(r. fmt_left {v}, {w})", "(r. cat \"[\", r)", "(r. cat r, \"]\")", "echo r"]
        out += ["[%*s]" % (max(w, 0), pv), "[%-*s]" % (max(w, 0), pv)]
    write("format", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def floatbits():
    rng = random.Random(23)
    xs = [0.0, -0.0, 1.0, -1.0, 0.1, 1.5, 5e-324, -5e-324, 2.2250738585072014e-308,
          2.225073858507201e-308, 1.7976931348623157e308, -1.7976931348623157e308, 2.0**1023,
          2.0**-1022, 3.0, 1e300, 1e-300, 123456.789, 2.0**53 + 2, 0.5, 1.9999999999999998]
    # every power of two that the exponent search can meet exactly, and beside them
    for k in (1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 768, 1000, 1023):
        xs += [2.0**k, 2.0**-k, 1.5 * 2.0**k, math.nextafter(2.0**k, 0.0)]
    for _ in range(60):
        b = rng.getrandbits(64)
        if (b >> 52) & 2047 == 2047:
            continue
        xs.append(struct.unpack("<d", struct.pack("<Q", b))[0])
    prog = ["floatbits.oxh", f"a({len(xs) + 2})"]
    out = []
    for i, x in enumerate(xs):
        prog += [f'word "{x.hex()}"', "(x. word * 1.0)", f"farr_set(a, {i}, x)", f"(b. get a, {i})", "echo b",
                 f"(y. farr_get a, {i})", "(c. float_bits y)", "if c != b", '    echo "changed"']
        out.append(str(bits(x)))
    # infinities come from text; integers are converted; NaN keeps its sign only
    prog += ['word "inf"', "(x. word * 1.0)", "(b. float_bits x)", "echo b", "(y. bits_float b)", "echo y",
             "(x. x * -1.0)", "(b. float_bits x)", "echo b", "(y. bits_float b)", "echo y",
             "(b. float_bits 3)", "echo b", "(b. float_bits -9223372036854775808)", "echo b",
             'word "nan"', "(x. word * 1.0)", "(b. float_bits x)", "echo b", "(y. bits_float b)", "echo y",
             "(y. bits_float -1)", "echo y"]
    out += [str(bits(math.inf)), "inf", str(bits(-math.inf)), "-inf", str(bits(3.0)), str(bits(-2.0**63)),
            str(0x7FF8000000000000), "nan", "nan"]
    write("floatbits", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def arrays():
    rng = random.Random(7)
    prog = ["arrays.oxh"]
    out = []
    sets = [[5], [2, 1], [1, 2, 3], [3, 3, 1, 3], [MAX, MIN, 0, -1, 1, MIN, MAX],
            [rng.randrange(-50, 50) for _ in range(200)], [rng.getrandbits(64) - 2**63 for _ in range(100)],
            list(range(300, 0, -1))]
    for vals in sets:
        n = len(vals)
        prog.append(f"a({n})")
        for i, v in enumerate(vals):
            prog.append(f"set a, {i}, {v}")
        prog += ["arr_sort(a)", "line \"\"", "i0", f"lo{n}", "    (v. get a, i)", "    (line. cat line, v)",
                 "    (line. cat line, \" \")", "    (i. i + 1)", "echo line"]
        srt = sorted(vals)
        out.append("".join(f"{v} " for v in srt))
        probes = sorted(set(vals))[:3] + [min(vals) - 1 if min(vals) > MIN else 12345, 0, 49, MAX]
        for p in probes:
            prog += [f"(r. arr_search a, {p})", "echo r"]
            out.append(str(srt.index(p) if p in srt else -1))
        prog += ["arr_reverse(a)", "(v. get a, 0)", "echo v"]
        out.append(str(srt[-1]))
    prog += ["b(4)", "arr_fill(b, -7)", "(v. get b, 3)", "echo v", "(v. get b, 0)", "echo v",
             "arr_reverse(b)", "c(1)", "arr_reverse(c)", "arr_sort(c)", "(r. arr_search c, 0)", "echo r"]
    out += ["-7", "-7", "0"]
    write("arrays", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def isqrt(n):
    return math.isqrt(n) if n > 0 else 0


def gcd(a, b):
    return wrap(math.gcd(a, b))


def math_():
    prog = ["math.oxh"]
    out = []

    def call(expr, want):
        prog.extend([f"(r. {expr})", "echo r"])
        out.append(str(want))

    for a, b in ((3, 7), (7, 3), (-4, 2), (2.5, 2.5), (MIN, MAX)):
        call(f"min {a}, {b}", min(a, b))
        call(f"max {a}, {b}", max(a, b))
    for n in (0, 5, -5, MAX, MIN):
        call(f"absolute {n}", wrap(abs(n)))
    for a, b in ((12, 18), (-12, 18), (12, -18), (0, 0), (0, 5), (-5, 0), (17, 5), (MIN, 6), (6, MIN),
                 (MIN, -1), (MIN, MIN), (MIN, 0), (MAX, MAX - 1), (2**62, 2**40), (832040, 514229)):
        call(f"gcd {a}, {b}", gcd(a, b))
    for n in (-1, 0, 1, 2, 3, 4, 15, 16, 17, 99, 100, 2**52 + 1, (2**26 + 1)**2 - 1, 10**18,
              3037000499**2, 3037000499**2 - 1, MAX, 4503599761588224, 9007199254740993):
        call(f"isqrt {n}", isqrt(n))
    for a, b, m in ((3, 4, 5), (-3, 4, 5), (MAX, MAX, MAX - 1), (MAX - 1, MAX - 2, MAX), (2**62, 2**62, 3037000507),
                    (123456789123, 987654321987, 1000000007), (MIN, MIN, MAX), (5, 5, 1), (1, 1, 0),
                    (3037000498, 3037000498, 3037000499), (3037000505, 3037000505, 3037000506),
                    (2**61, 2, 2**62), (2**61, 3, 2**62), (2**61, 3, 3 * 2**61), (MAX // 2, 2, MAX - 1), (MAX - 1, MAX - 1, MAX)):
        call(f"mulmod {a}, {b}, {m}", a * b % m if m >= 1 else 0)
    for b, e, m in ((2, 10, 1000), (2, 0, 1), (2, 0, 7), (3, 200, 1000000007), (-2, 3, 5),
                    (5, MAX, MAX), (2, 62, MAX), (7, 5, 0), (7, -1, 5), (123456789, 987654321, 2**61 - 1)):
        call(f"powmod {b}, {e}, {m}", pow(b, e, m) if m >= 1 and e >= 0 else 0)
    write("math", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def splitmix(state):
    state = (state + 0x9E3779B97F4A7C15) & (2**64 - 1)
    z = state
    z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & (2**64 - 1)
    z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & (2**64 - 1)
    return state, z ^ (z >> 31)


def random_():
    prog = ["random.oxh", "g(rng_new 0)", "(g. rng_new 0)"]
    prog = ["random.oxh", "(g. rng_new 0)"]
    out = []
    s = 0
    for _ in range(5):
        prog += ["(r. rng_next g)", "echo r"]
        s, z = splitmix(s)
        out.append(str(wrap(z)))
    prog += [f"(h. rng_new {MIN})", "(r. rng_next h)", "echo r"]
    s2, z = splitmix(MIN & (2**64 - 1))
    out.append(str(wrap(z)))
    for n in (1, 6, 1000, 3, MAX, 2**62 + 1):
        for _ in range(4):
            prog += [f"(r. rng_below g, {n})", "echo r"]
            while True:
                s, z = splitmix(s)
                v = z >> 1
                if v < 2**63 - (2**63 % n):
                    break
            out.append(str(v % n))
    prog += ["(r. rng_below g, 0)", "echo r", "(r. rng_below g, -5)", "echo r"]
    out += ["0", "0"]
    for _ in range(3):
        prog += ["(f. rng_float g)", "echo f"]
        s, z = splitmix(s)
        out.append(repr((z >> 11) * 2.0**-53))
    write("random", "\n".join(prog) + "\n", "\n".join(out) + "\n")


def example():
    """examples/float_table.out: ten SplitMix64 floats, sorted, with their roots."""
    s, xs = 2026, []
    for _ in range(10):
        s, z = splitmix(s)
        xs.append((z >> 11) * 2.0**-53 * 1000.0)
    lines = ["%-15s%s" % ("value", "square root")]
    lines += ["%13.9f%15.9f" % (x, math.sqrt(x)) for x in sorted(xs)]
    with open(os.path.join(HERE, "..", "..", "examples", "float_table.out"), "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


example()
chars()
text()
fmt()
floatbits()
arrays()
math_()
random_()
