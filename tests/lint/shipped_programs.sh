#!/bin/sh
# Every shipped program checks clean: the examples, the benchmark workloads
# and every golden program that compiles. A golden program that does not
# compile must draw the same error, on the same line, from oxel-lint.
# Usage: shipped_programs.sh OXELC OXEL_LINT SOURCE_DIR SCRATCH_DIR
oxelc=$1 lint=$2 source=$3 scratch=$4
failed=0 checked=0
for prog in "$source"/examples/*.ox "$source"/bench/workloads/*.ox $(find "$source/tests/programs" -name '*.ox' | sort); do
    base=${prog%.ox}
    [ -e "$base.args" ] && continue  # command-line cases, not programs
    rm -rf "$scratch" && mkdir -p "$scratch"
    cp "$prog" "$scratch/"
    [ -d "$base.files" ] && cp -R "$base.files/." "$scratch/"
    # the examples find the library's headers in ../lib
    case "$prog" in "$source"/examples/*) rm -rf "$scratch/../lib" && mkdir -p "$scratch/../lib" && cp "$source"/lib/*.oxh "$scratch/../lib/" ;; esac
    name=$(basename "$prog")
    if (cd "$scratch" && "$oxelc" --dump "$name" >/dev/null 2>"$scratch.oxelc"); then
        if ! (cd "$scratch" && "$lint" "$name" >"$scratch.lint" 2>&1); then
            echo "not clean: $prog"; cat "$scratch.lint"; failed=$((failed + 1))
        fi
    else
        report=$(head -n 1 "$scratch.oxelc" | sed -n 's/^\[Oxel Runtime Error\]: \(.*\) at line \([0-9]*\).*$/\2:\1/p')
        line=${report%%:*} message=${report#*:}
        (cd "$scratch" && "$lint" "$name" >"$scratch.lint" 2>&1)
        status=$?
        first=$(head -n 1 "$scratch.lint")
        case "$first" in
            *:"$line":*": error: $message") [ $status = 1 ] || { echo "status $status: $prog"; failed=$((failed + 1)); } ;;
            *) echo "error differs: $prog"; echo "  oxelc: $report"; echo "  lint:  $first"; failed=$((failed + 1)) ;;
        esac
    fi
    checked=$((checked + 1))
done
echo "$checked programs checked, $failed failed"
[ $failed = 0 ] && [ $checked -gt 50 ]
