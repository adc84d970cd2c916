#!/usr/bin/env bash
# Times each workload in Oxel, Lua 5.4, LuaJIT with its compiler off
# (`luajit -joff`, a fast hand-written interpreter), LuaJIT with its compiler,
# Python 3 and C (cc -O2, the floor) side by side in one run, after checking
# that every version prints exactly what oxelc prints. Prints a table of mean
# times and the ratios of lua, luajit -joff, luajit and C to oxelc (above 1:
# oxelc is faster), with their geometric means.
#   needs: hyperfine; each of lua5.4, luajit, python3 and cc adds its column
#          and is skipped with a note when missing
#          (apt-get install -y hyperfine lua5.4 luajit python3 gcc)
#   usage: bench/run.sh [workload ...]     (default: every workload)
#   env:   OXEL_BENCH_RUNS (default 5), OXEL_BENCH_BUILD (default build-bench),
#          OXEL_BENCH_SKIP="python3 ..." leaves those columns out
#
# A workload is name.ox with name.lua, name.py and name.c beside it; name.jit.lua,
# when present, replaces name.lua for luajit (which has no integer bit operators).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${OXEL_BENCH_BUILD:-$root/build-bench}
command -v hyperfine >/dev/null || { echo "missing hyperfine: apt-get install -y hyperfine" >&2; exit 1; }

# The columns that can run here. The Python interpreter is taken by its real
# path: a version-manager shim in front of it can cost more than a workload.
tools=()
for tool in lua5.4 luajit python3 cc; do
    if [[ " ${OXEL_BENCH_SKIP:-} " == *" $tool "* ]]; then
        echo "skipping $tool (OXEL_BENCH_SKIP)" >&2
    elif command -v $tool >/dev/null; then
        tools+=($tool)
    else
        echo "missing $tool: its column is skipped" >&2
    fi
done
has() { [[ " ${tools[*]} " == *" $1 "* ]]; }
python=
has python3 && python=$(python3 -c 'import sys; print(sys.executable)')

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXEL_TESTS=OFF >/dev/null
cmake --build "$build" --target oxelc >/dev/null
oxelc=$build/oxelc

cd "$here/workloads"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(ls *.ox | sed 's/\.ox$//'))
temp=$(mktemp -d)
trap 'rm -rf "$temp"' EXIT
for name in "${names[@]}"; do
    # each column: a hyperfine name and a command
    columns=("oxelc" "$oxelc $name.ox")
    has lua5.4 && columns+=("lua" "lua5.4 $name.lua")
    if has luajit; then
        script=$name.lua
        [ -f "$name.jit.lua" ] && script=$name.jit.lua
        columns+=("luajit-joff" "luajit -joff $script" "luajit" "luajit $script")
    fi
    has python3 && columns+=("python" "$python $name.py")
    if has cc; then
        cc -O2 -ffp-contract=off -o "$temp/$name" "$name.c" -lm
        columns+=("c" "$temp/$name")
    fi
    "$oxelc" "$name.ox" >"$temp/want"
    args=()
    for ((k = 0; k < ${#columns[@]}; k += 2)); do
        label=${columns[k]} command=${columns[k + 1]}
        $command >"$temp/got"
        if ! cmp -s "$temp/want" "$temp/got"; then
            echo "$name: '$command' prints other output than oxelc:" >&2
            diff "$temp/want" "$temp/got" | head -5 >&2
            exit 1
        fi
        args+=(-n "$label" "$command")
    done
    hyperfine -N --warmup 1 --runs "${OXEL_BENCH_RUNS:-5}" --export-json "$temp/$name.json" \
        "${args[@]}" >/dev/null
done
python3 - "$temp" "${names[@]}" <<'PY'
import json, math, sys
folder, names = sys.argv[1], sys.argv[2:]
times = {}
for name in names:
    results = json.load(open(f"{folder}/{name}.json"))["results"]
    times[name] = {r["command"]: r["mean"] * 1000 for r in results}
columns = [c for c in ("oxelc", "lua", "luajit-joff", "luajit", "python", "c") if c in times[names[0]]]
ratios = [c for c in ("lua", "luajit-joff", "luajit", "c") if c in columns]
print("| workload | " + " | ".join(f"{c} ms" for c in columns) + " | "
      + " | ".join(f"{c} / oxelc" for c in ratios) + " |")
print("|---|" + "---:|" * (len(columns) + len(ratios)))
for name in names:
    row = times[name]
    cells = [f"{row[c]:.0f}" for c in columns] + [f"{row[c] / row['oxelc']:.2f}" for c in ratios]
    print(f"| {name} | " + " | ".join(cells) + " |")
means = [math.exp(sum(math.log(times[n][c] / times[n]["oxelc"]) for n in names) / len(names))
         for c in ratios]
print("| geometric mean |" + " |" * len(columns) + " " + " | ".join(f"{m:.2f}" for m in means) + " |")
PY
