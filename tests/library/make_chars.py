#!/usr/bin/env python3
"""Writes lib/chars.oxh: chr, a one-byte string from its code, found by a
binary search of eight comparisons over the 256 codes. Each leaf returns a
literal holding the byte itself, so the file holds raw control bytes; a line
feed cannot stand in a literal, and code 10 gives the empty string.

    python3 tests/library/make_chars.py > lib/chars.oxh
"""
import sys

out = []
out.append(b"cmt chars.oxh: a one-byte string from its code (written by tests/library/make_chars.py)")
out.append(b"cmt chr k: the byte k (0 to 255) as a string, in eight comparisons; the empty")
out.append(b"cmt string for 10 (no literal can hold a line feed) and for codes outside 0 to 255")
out.append(b"oxelfn chr.k")
out.append(b"    if k < 0")
out.append(b'        rtn ""')
out.append(b"    if k > 255")
out.append(b'        rtn ""')


def leaf(code):
    if code == 10:
        return b'""'
    return b'"' + bytes([code]) + b'"'


def tree(lo, hi, depth):
    pad = b"    " * depth
    if hi - lo == 1:
        out.append(pad + b"rtn " + leaf(lo))
        return
    mid = (lo + hi) // 2
    out.append(pad + b"if k < " + str(mid).encode())
    tree(lo, mid, depth + 1)
    out.append(pad + b"els")
    tree(mid, hi, depth + 1)


tree(0, 256, 1)
sys.stdout.buffer.write(b"\n".join(out) + b"\n")
