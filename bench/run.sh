#!/usr/bin/env bash
# Times each workload in Oxel, Lua 5.4 and Python 3 side by side in one run,
# after checking that all three print the same output. Prints each time and
# the ratio against oxelc (above 1: oxelc is faster).
#   needs: lua5.4 hyperfine python3   (apt-get install -y lua5.4 hyperfine)
#   usage: bench/run.sh [workload ...]     (default: every workload)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${OXEL_BENCH_BUILD:-$root/build-bench}
for tool in lua5.4 hyperfine python3; do
    command -v $tool >/dev/null || { echo "missing $tool: apt-get install -y lua5.4 hyperfine" >&2; exit 1; }
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOXEL_TESTS=OFF >/dev/null
cmake --build "$build" --target oxelc >/dev/null
oxelc=$build/oxelc

cd "$here/workloads"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(ls *.ox | sed 's/\.ox$//'))
results=$(mktemp -d)
for name in "${names[@]}"; do
    want=$("$oxelc" "$name.ox")
    for other in "lua5.4 $name.lua" "python3 $name.py"; do
        got=$($other)
        if [ "$got" != "$want" ]; then
            echo "$name: '$other' printed '$got', oxelc printed '$want'" >&2
            exit 1
        fi
    done
    hyperfine -N --warmup 1 --runs "${OXEL_BENCH_RUNS:-5}" --export-json "$results/$name.json" \
        -n oxelc "$oxelc $name.ox" -n lua "lua5.4 $name.lua" -n python "python3 $name.py" >/dev/null
done
python3 - "$results" "${names[@]}" <<'PY'
import json, sys
folder, names = sys.argv[1], sys.argv[2:]
print(f"| workload | oxelc ms | lua ms | python ms | lua / oxelc | python / oxelc |")
print(f"|---|---:|---:|---:|---:|---:|")
for name in names:
    runs = {r["command"]: r["mean"] * 1000 for r in json.load(open(f"{folder}/{name}.json"))["results"]}
    o, l, p = runs["oxelc"], runs["lua"], runs["python"]
    print(f"| {name} | {o:.0f} | {l:.0f} | {p:.0f} | {l / o:.2f} | {p / o:.2f} |")
PY
rm -rf "$results"
