#!/bin/sh
# oxel-lint on the library: every golden program of the library checks clean,
# and a program that takes in one header and calls one of its functions gets
# no warning about the functions it leaves alone (a library's unused
# functions are no mistake of the program).
# Usage: lint_headers.sh OXEL_LINT SOURCE_DIR SCRATCH_DIR
lint=$1 source=$2 scratch=$3
failed=0
rm -rf "$scratch" && mkdir -p "$scratch"
cp "$source"/lib/*.oxh "$scratch/"
cp "$source"/tests/library/*.ox "$scratch/"
check() {  # program file: no output, status 0
    if ! (cd "$scratch" && "$lint" "$1" >"$scratch/$1.lint" 2>&1) || [ -s "$scratch/$1.lint" ]; then
        echo "not clean: $1"; cat "$scratch/$1.lint"; failed=$((failed + 1))
    fi
}
for prog in "$source"/tests/library/*.ox; do
    check "$(basename "$prog")"
done
# header, then one call of one of its functions
while read -r header call; do
    printf '%s\n(r. %s)\necho r\n' "$header" "$call" >"$scratch/one_$header.ox"
    check "one_$header.ox"
done <<'CALLS'
chars.oxh chr 65
text.oxh text_find "abc", "c", 0
format.oxh fmt_hex 255
floatbits.oxh float_bits 1.5
arrays.oxh arr_search r, 0
math.oxh gcd 12, 18
random.oxh rng_new 1
CALLS
echo "library checked, $failed not clean"
[ $failed = 0 ]
