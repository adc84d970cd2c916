#!/bin/sh
# make_corpus.sh OUT: one seed per golden program and example, in the fuzz
# input format of fuzz_case.h (main file, standard input, then each file of
# the program's .files folder as "path\ntext").
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$1
mkdir -p "$out"
sep() { printf '\0\0\0'; }
find "$root/tests/programs" "$root/examples" -name '*.ox' | sort | while read -r program; do
    base=${program%.ox}
    name=$(echo "${base#"$root"/}" | tr '/' '_')
    {
        cat "$program"
        sep
        [ -f "$base.in" ] && cat "$base.in"
        if [ -d "$base.files" ]; then
            (cd "$base.files" && find . -type f | sort) | while read -r file; do
                sep
                printf '%s\n' "${file#./}"
                cat "$base.files/$file"
            done
        fi
    } >"$out/$name"
done
