#!/bin/sh
# oxel-fmt's options, in-place rewriting, standard input and exit statuses.
# Usage: command_line.sh OXEL_FMT SCRATCH_DIR
fmt=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir" && cd "$dir" || exit 1
failed=0
expect() {  # expect STATUS COMMAND...: runs it, output in out.txt and err.txt
    want=$1; shift
    "$@" >out.txt 2>err.txt
    got=$?
    [ "$got" = "$want" ] || { echo "status $got, expected $want: $*"; cat out.txt err.txt; failed=1; }
}
same() {  # same FILE TEXT: the file holds exactly the text (printf format)
    printf "$2" >want.txt
    cmp -s "$1" want.txt || { echo "$1 differs from '$2':"; od -c "$1"; failed=1; }
}
printf 'i1\nlo3\n  \techo i  \n\t(i. i + 1)\n' >messy.ox
printf 'i1\nlo3\n    echo i\n    (i. i + 1)\n' >tidy.ox
printf 'lo3\n  echo y\n' >broken.ox
cp messy.ox messy_kept.ox
cp broken.ox broken_kept.ox

# --check writes nothing and names the files that would change
expect 1 "$fmt" --check messy.ox tidy.ox
[ "$(cat out.txt)" = "messy.ox" ] || { echo "--check printed: $(cat out.txt)"; failed=1; }
cmp -s messy.ox messy_kept.ox || { echo "--check wrote a file"; failed=1; }
expect 0 "$fmt" --check tidy.ox
[ -s out.txt ] && { echo "--check on a tidy file printed"; failed=1; }

# in place: the changed file rewritten, a tidy one not touched
touch -t 200001010000 tidy.ox
expect 0 "$fmt" messy.ox tidy.ox
same messy.ox 'i1\nlo3\n    echo i\n    (i. i + 1)\n'
[ -n "$(find tidy.ox -newer messy_kept.ox)" ] && { echo "a tidy file was rewritten"; failed=1; }
expect 0 "$fmt" --check messy.ox

# a file that does not compile, or cannot be read: reported, left alone,
# status 2, the other files still formatted
cp messy_kept.ox messy.ox
expect 2 "$fmt" broken.ox missing.ox messy.ox
cmp -s broken.ox broken_kept.ox || { echo "a broken file was changed"; failed=1; }
grep -q "broken.ox" err.txt || { echo "broken file not reported"; failed=1; }
grep -q "missing.ox" err.txt || { echo "missing file not reported"; failed=1; }
same messy.ox 'i1\nlo3\n    echo i\n    (i. i + 1)\n'
expect 2 "$fmt" broken.ox messy.ox

# standard input to standard output
expect 0 "$fmt" <messy_kept.ox
same out.txt 'i1\nlo3\n    echo i\n    (i. i + 1)\n'
expect 1 "$fmt" --check <messy_kept.ox
[ -s out.txt ] && { echo "--check on standard input printed"; failed=1; }
expect 2 "$fmt" <broken.ox

# headers are left alone
printf 'oxelfn f\n  rtn 1\n' >lib.oxh
cp lib.oxh lib_kept.oxh
expect 0 "$fmt" lib.oxh
cmp -s lib.oxh lib_kept.oxh || { echo "a header was changed"; failed=1; }

expect 2 "$fmt" --frobnicate messy.ox
expect 0 "$fmt" --version
[ "$(cat out.txt)" = "oxel-fmt $(sed -n 's/^project(oxelc VERSION \([0-9.]*\).*/\1/p' "$3")" ] ||
    { echo "version: $(cat out.txt)"; failed=1; }
expect 0 "$fmt" --help
grep -q -- '--check' out.txt || { echo "--help lacks --check"; failed=1; }
exit $failed
