#!/usr/bin/env python3
"""Generates large Oxel programs for timing compilation with `oxelc --dump`.

    gen_large_program.py main    OUT_DIR   one main file just under 10 MiB
    gen_large_program.py headers OUT_DIR   50,000 stored lines, most in 250 headers
    gen_large_program.py deep    OUT_DIR   ~4,500 nested `if` levels, tab-indented

Each writes OUT_DIR/main.ox (and headers beside it). Then, for example:

    time oxelc --dump OUT_DIR/main.ox 2>/dev/null
"""

import os
import sys

MAIN_LIMIT = 10_485_759   # bytes a main file may hold
STORED_LINES = 50_000     # stored lines of all files together


def function_block(index):
    """One function of 12 stored lines using most statement and expression forms."""
    return [
        f"oxelfn work{index}.a, b",
        "    (s. a + b)",
        "    if s > 10 cmt compare",
        "        (s. s - 10)",
        "    els",
        "        (s. s * 2)",
        "    lo3 w s != 0",
        "        (s. s / 2)",
        f'    (t. cat "value {index}: ", s)',
        "    echo t",
        "    (u. bit shl s, 2)",
        "    rtn u",
    ]


def top_block(index, padding):
    """Top-level lines calling a function; `padding` bytes of string constant."""
    return [
        f"(r{index % 97}. work{index} {index}, 3)",
        f'msg{index % 89} "{"x" * padding}"',
        f"buf{index % 13}(8)",
        f"set buf{index % 13}, 1, r{index % 97}",
        "cmt a comment line, not stored",
    ]


def write(path, lines):
    with open(path, "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def main_variant(out_dir):
    # 2,900 rounds of 16 stored lines (46,400); string padding fills ~10 MiB
    rounds = 2900
    bare = sum(len(line) + 1 for i in range(rounds) for line in function_block(i) + top_block(i, 0))
    padding = (MAIN_LIMIT - bare) // rounds
    lines = []
    for i in range(rounds):
        lines += function_block(i) + top_block(i, padding)
    write(os.path.join(out_dir, "main.ox"), lines)


def headers_variant(out_dir):
    # 250 chained headers of 199 stored lines, and a main file that brings the
    # total to exactly 50,000
    headers = 250
    per_header = 199
    for h in range(headers):
        lines = []
        index = h * 100
        while len(lines) + 12 <= per_header - 1:
            lines += function_block(index)
            index += 1
        lines += ["oxel"] * (per_header - 1 - len(lines))
        lines.append(f"h{h + 1}.oxh" if h + 1 < headers else "oxel")
        write(os.path.join(out_dir, f"h{h}.oxh"), lines)
    calls = ["(r. work0 1, 2)", "echo r"]
    markers = STORED_LINES - headers * per_header - 1 - len(calls)
    write(os.path.join(out_dir, "main.ox"), ["h0.oxh"] + ["oxel"] * markers + calls)


def deep_variant(out_dir):
    depth = 4500
    lines = ["x1"]
    lines += ["\t" * level + "if x" for level in range(depth)]
    lines.append("\t" * depth + "echo x")
    write(os.path.join(out_dir, "main.ox"), lines)


def run():
    variants = {"main": main_variant, "headers": headers_variant, "deep": deep_variant}
    if len(sys.argv) != 3 or sys.argv[1] not in variants:
        sys.stderr.write(__doc__)
        return 2
    os.makedirs(sys.argv[2], exist_ok=True)
    variants[sys.argv[1]](sys.argv[2])
    main_path = os.path.join(sys.argv[2], "main.ox")
    print(f"{main_path}: {os.path.getsize(main_path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(run())
