#!/bin/sh
# The main file is read at the size the platform reports for it, or, where
# it reports none (a pipe), by growing the buffer: both must read every
# byte, and refuse a program at the size limit either way.
oxelc=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "$1"; exit 1; }

# ~200 KiB: far past the first buffer of a pipe read
{ echo "echo 1"; yes "" | head -n 200000; echo "echo 2"; } >"$scratch/long.ox"
[ "$("$oxelc" /dev/stdin <"$scratch/long.ox")" = "1
2" ] || fail "regular file through /dev/stdin: wrong output"
[ "$(cat "$scratch/long.ox" | "$oxelc" /dev/stdin)" = "1
2" ] || fail "pipe: wrong output"

# 10,485,760 bytes: one more than a main file may hold
{ echo "echo 1"; head -c 10485753 /dev/zero | tr '\0' '\n'; } >"$scratch/over.ox"
expected="[Oxel Runtime Error]: Cannot open '/dev/stdin' at line 1
[Oxel Execution Terminated]"
[ "$(cat "$scratch/over.ox" | "$oxelc" /dev/stdin 2>&1)" = "$expected" ] || fail "pipe: over the limit not refused"
[ "$("$oxelc" /dev/stdin <"$scratch/over.ox" 2>&1)" = "$expected" ] || fail "file: over the limit not refused"
exit 0
