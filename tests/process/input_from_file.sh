#!/bin/sh
# Input from a regular file is read in blocks (the file's offset, seen in
# /proc while the program runs, is past the line taken), and when the run
# ends, normally or by an error, the offset is put back just after the last
# byte taken, so the next reader of the same open file goes on from there.
# From a pipe input is read byte by byte: nothing past the line is taken.
oxelc=$1
. "$(dirname "$0")/scratch_and_check.sh"

printf 'one\ntwo\nthree\nfour\n' >input.txt
cat >normal.ox <<'PROGRAM'
in a
fopen f, "/proc/self/fdinfo/0", "r"
(info. fread f, 7)
echo info
in b
echo a
echo b
PROGRAM
check "normal end" "$({ "$oxelc" normal.ox; cat; } <input.txt)" "pos:	19
one
two
three
four"

cat >error.ox <<'PROGRAM'
in a
(x. 1 / 0)
PROGRAM
check "error" "$({ "$oxelc" error.ox 2>/dev/null; cat; } <input.txt)" "two
three
four"

check "pipe" "$(cat input.txt | { "$oxelc" error.ox 2>/dev/null; cat; })" "two
three
four"
exit $failed
