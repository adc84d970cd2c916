#!/usr/bin/env python3
"""Generates large Oxel programs for timing compilation with `oxelc --dump`.

    gen_large_program.py main    OUT_DIR   one main file just under 10 MiB
    gen_large_program.py headers OUT_DIR   50,000 stored lines, most in 250 headers
    gen_large_program.py deep    OUT_DIR   ~4,500 nested `if` levels, tab-indented
    gen_large_program.py compile OUT_DIR   pairs NAME.ox / NAME.lua for bench/compile.sh

The first three write OUT_DIR/main.ox (and headers beside it). Then, for example:

    time oxelc --dump OUT_DIR/main.ox 2>/dev/null

`compile` writes programs of function definitions whose top level calls them
only under a condition that is false, so running one compiles it and halts;
each comes with the same program in Lua 5.4, for `luac5.4 -p`. It prints one
line per pair: name, then bytes and lines of the .ox file, then of the .lua file.
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


GROUPS = 9  # statement groups per function: 11 stored lines each, 102 per function


def compile_pair(functions, padding, exact_size=None):
    """An Oxel program of `functions` functions and its Lua twin, as two texts.

    Each `cat` string constant carries `padding` bytes; with `exact_size` a
    final comment line brings the Oxel text to exactly that many bytes (and the
    Lua text gets a comment of the same length)."""
    pad = "x" * padding
    ox = ["oxelfn leaf.x, y", "    (r. x + y)", "    rtn r"]
    lua = ["function leaf(x, y)", "  local r = x + y", "  return r", "end"]
    for f in range(functions):
        ox += [f"oxelfn work{f}.a, b", "    (s. a + b)"]
        lua += [f"function work{f}(a, b)", "  local s, t, u, v = a + b, '', 0, 0"]
        for g in range(GROUPS):
            ox += [
                f"    (s. s + {g})",
                f"    if s > {f % 50 + g}",
                "        (s. s - 10)",
                "    els",
                "        (s. s * 2)",
                "    lo3 w s != 0",
                "        (s. s / 2)",
                f'    (t. cat "value {f}.{g}: {pad}", s)',
                "    (u. bit shl s, 2)",
                "    (u. u XOR b)",
                "    (v. leaf u, s)",
            ]
            lua += [
                f"  s = s + {g}",
                f"  if s > {f % 50 + g} then",
                "    s = s - 10",
                "  else",
                "    s = s * 2",
                "  end",
                "  for _ = 1, 3 do",
                "    if s == 0 then break end",
                "    s = s // 2",
                "  end",
                f'  t = "value {f}.{g}: {pad}" .. s',
                "  u = s << 2",
                "  u = u ~ b",
                "  v = leaf(u, s)",
            ]
        ox.append("    rtn u")
        lua += ["  return u", "end"]
    ox += ["go0", "if go > 0"] + [f"    (r. work{f} {f}, 3)" for f in range(functions)]
    lua += ["local go = 0", "if go > 0 then", "  local r"]
    lua += [f"  r = work{f}({f}, 3)" for f in range(functions)] + ["end"]
    if exact_size is not None:
        rest = exact_size - sum(len(line) + 1 for line in ox) - 1
        assert rest >= 4, "padding too large for the exact size"
        ox.append("cmt " + "x" * (rest - 4))
        lua.append("-- " + "x" * (rest - 3))
    return "\n".join(ox) + "\n", "\n".join(lua) + "\n"


def compile_variant(out_dir):
    # Two programs of plain lines (about 10k and 41k lines, the latter of 400
    # functions), then three of the same dense shape, the largest exactly at
    # the main-file limit with just under 50,000 stored lines: their ms per MB
    # should agree if compilation grows linearly.
    full = 480
    bare, _ = compile_pair(full, 0)
    padding = (MAIN_LIMIT - len(bare) - 64) // (full * GROUPS)
    programs = [
        ("lines10k", compile_pair(100, 0)),
        ("lines41k", compile_pair(400, 0)),
        ("max_quarter", compile_pair(full // 4, padding)),
        ("max_half", compile_pair(full // 2, padding)),
        ("max", compile_pair(full, padding, MAIN_LIMIT)),
    ]
    for name, (ox, lua) in programs:
        sizes = []
        for suffix, text in (("ox", ox), ("lua", lua)):
            with open(os.path.join(out_dir, f"{name}.{suffix}"), "w", newline="\n") as out:
                out.write(text)
            sizes += [len(text), text.count("\n")]
        print(name, *sizes)


def run():
    variants = {"main": main_variant, "headers": headers_variant, "deep": deep_variant,
                "compile": compile_variant}
    if len(sys.argv) != 3 or sys.argv[1] not in variants:
        sys.stderr.write(__doc__)
        return 2
    os.makedirs(sys.argv[2], exist_ok=True)
    variants[sys.argv[1]](sys.argv[2])
    if sys.argv[1] == "compile":
        return 0
    main_path = os.path.join(sys.argv[2], "main.ox")
    print(f"{main_path}: {os.path.getsize(main_path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(run())
