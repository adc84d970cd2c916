#!/usr/bin/env bash
# Times compilation: oxelc compiling (and halting) generated programs of about
# 10k and 41k lines and of the largest main-file size, against `luac5.4 -p`
# parsing the same programs written in Lua 5.4, side by side in one run. The
# ms per MB column shows how compile time grows with size: max_quarter,
# max_half and max have the same shape, so equal figures mean linear growth.
#   needs: hyperfine python3; luac5.4 adds its columns and is skipped with a
#          note when missing (apt-get install -y hyperfine lua5.4)
#   usage: bench/compile.sh [program ...]   (default: all five, see below)
#   env:   OXEL_BENCH_RUNS (default 10), OXEL_BENCH_BUILD (default build-bench),
#          OXEL_BENCH_INSTRUCTIONS=1 adds instruction counts (valgrind), which
#          a noisy machine does not disturb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${OXEL_BENCH_BUILD:-$root/build-bench}
for tool in hyperfine python3; do
    command -v $tool >/dev/null || { echo "missing $tool: apt-get install -y $tool" >&2; exit 1; }
done
luac=
if command -v luac5.4 >/dev/null; then luac=luac5.4; else echo "missing luac5.4: its columns are skipped" >&2; fi
count=${OXEL_BENCH_INSTRUCTIONS:-0}
if [ "$count" = 1 ] && ! command -v valgrind >/dev/null; then
    echo "missing valgrind: no instruction counts" >&2
    count=0
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXEL_TESTS=OFF >/dev/null
cmake --build "$build" --target oxelc >/dev/null
oxelc=$build/oxelc

temp=$(mktemp -d)
trap 'rm -rf "$temp"' EXIT
python3 "$here/gen_large_program.py" compile "$temp" >"$temp/sizes"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(cut -d' ' -f1 "$temp/sizes"))
for name in "${names[@]}"; do
    # both must accept their program (and oxelc run it to a silent halt)
    out=$("$oxelc" "$temp/$name.ox" 2>&1) || { echo "$name.ox: oxelc failed: $out" >&2; exit 1; }
    [ -z "$out" ] || { echo "$name.ox: unexpected output: $out" >&2; exit 1; }
    args=(-n oxelc "$oxelc $temp/$name.ox")
    if [ -n "$luac" ]; then
        $luac -p "$temp/$name.lua"
        args+=(-n luac "$luac -p $temp/$name.lua")
    fi
    hyperfine -N --warmup 1 --runs "${OXEL_BENCH_RUNS:-10}" --export-json "$temp/$name.json" \
        "${args[@]}" >/dev/null
    if [ "$count" = 1 ]; then
        for ((k = 1; k < ${#args[@]}; k += 3)); do
            valgrind --tool=callgrind --callgrind-out-file=/dev/null ${args[k + 1]} 2>&1 |
                sed -n "s/.*refs: *\([0-9,]*\).*/${args[k]} \1/p" | tr -d , >>"$temp/$name.count"
        done
    fi
done
python3 - "$temp" "${names[@]}" <<'PY'
import json, os, sys
folder, names = sys.argv[1], sys.argv[2:]
sizes = {}
for line in open(f"{folder}/sizes"):
    name, ox_bytes, ox_lines, lua_bytes, lua_lines = line.split()
    sizes[name] = (int(ox_bytes), int(ox_lines), int(lua_bytes), int(lua_lines))
times, counts = {}, {}
for name in names:
    results = json.load(open(f"{folder}/{name}.json"))["results"]
    times[name] = {r["command"]: r["mean"] * 1000 for r in results}
    if os.path.exists(f"{folder}/{name}.count"):
        counts[name] = dict(line.split() for line in open(f"{folder}/{name}.count"))
lua = "luac" in times[names[0]]
head = "| program | .ox lines | .ox MB | oxelc ms | oxelc ms/MB | oxelc µs/line |"
if lua:
    head += " .lua MB | luac -p ms | luac ms/MB | luac / oxelc |"
if counts:
    head += " oxelc Minstr/MB |" + (" luac Minstr/MB |" if lua else "")
print(head)
print("|---|" + "---:|" * (head.count("|") - 2))
for name in names:
    ox_bytes, ox_lines, lua_bytes, _ = sizes[name]
    o = times[name]["oxelc"]
    row = (f"| {name} | {ox_lines} | {ox_bytes / 1e6:.2f} | {o:.1f} | {o / (ox_bytes / 1e6):.1f} "
           f"| {o * 1000 / ox_lines:.2f} |")
    if lua:
        l = times[name]["luac"]
        row += f" {lua_bytes / 1e6:.2f} | {l:.1f} | {l / (lua_bytes / 1e6):.1f} | {l / o:.2f} |"
    if counts:
        row += f" {int(counts[name]['oxelc']) / ox_bytes:.1f} |"
        if lua:
            row += f" {int(counts[name]['luac']) / lua_bytes:.1f} |"
    print(row)
PY
