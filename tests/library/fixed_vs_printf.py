#!/usr/bin/env python3
"""fmt_fixed against C's printf("%.*f") (which Python's '%.*f' matches digit for
digit: both round the exact binary value, ties to even) over many random
floats: random bit patterns across the accepted range, halfway cases at every
number of decimals, and values just beside them. Deterministic seed.

    fixed_vs_printf.py OXELC LIBDIR SCRATCH [COUNT]
"""
import os
import random
import shutil
import struct
import subprocess
import sys

oxelc, libdir, scratch = (os.path.abspath(a) for a in sys.argv[1:4])
count = int(sys.argv[4]) if len(sys.argv) > 4 else 4000
rng = random.Random(20261208)


def from_bits(b):
    return struct.unpack("<d", struct.pack("<Q", b))[0]


def value():
    kind = rng.randrange(4)
    if kind == 0:  # any exponent the function accepts (2^-80 up to 2^63)
        exp = rng.randrange(1023 - 80, 1023 + 63)
        x = from_bits((exp << 52) | rng.getrandbits(52))
    elif kind == 1:  # a tie at d decimals: k + 0.5 units of 10^-d, as near as binary gets
        d = rng.randrange(0, 18)
        x = (rng.randrange(0, 10**rng.randrange(1, 12)) + 0.5) / 10**d
    elif kind == 2:  # exact binary halves, quarters, ...: true ties
        x = rng.randrange(0, 2**40) / 2**rng.randrange(1, 30)
    else:  # beside a tie: one unit in the last place up or down
        x = (rng.randrange(0, 10**6) + 0.5) / 10**rng.randrange(0, 8)
        b = struct.unpack("<Q", struct.pack("<d", x))[0] + rng.choice((-1, 1))
        x = from_bits(b)
    if rng.randrange(2):
        x = -x
    return x


cases = [(value(), rng.randrange(0, 18)) for _ in range(count)]
os.makedirs(scratch, exist_ok=True)
for name in os.listdir(libdir):
    if name.endswith(".oxh"):
        shutil.copy(os.path.join(libdir, name), scratch)
with open(os.path.join(scratch, "fixed.ox"), "w", newline="\n") as f:
    f.write("format.oxh\nin count\nlo1000000 w count > 0\n    in x\n    in d\n"
            "    (x. x * 1.0)\n    (r. fmt_fixed x, d)\n    echo r\n    (count. count - 1)\n")
stdin = "%d\n" % count + "".join("%s\n%d\n" % (x.hex(), d) for x, d in cases)
run = subprocess.run([oxelc, "fixed.ox"], cwd=scratch, input=stdin.encode(), capture_output=True, timeout=600)
got = run.stdout.decode().splitlines()
if run.returncode != 0 or run.stderr:
    sys.exit("oxelc failed (%d): %s" % (run.returncode, run.stderr.decode()))
bad = 0
for (x, d), line in zip(cases, got):
    want = "%.*f" % (d, x)
    if line != want:
        bad += 1
        if bad <= 10:
            print("fmt_fixed %s (%r), %d: got %s, printf gives %s" % (x.hex(), x, d, line, want))
if len(got) != len(cases):
    sys.exit("%d lines for %d values" % (len(got), len(cases)))
print("%d values, %d differ" % (len(cases), bad))
sys.exit(1 if bad else 0)
