#!/bin/sh
# Standard output and input that another process made non-blocking: a write
# to a full pipe or a read from an empty one waits instead of failing, so no
# byte of output is dropped and input does not end early. The readers and
# writers here start late on purpose, so the pipes are full or empty when
# oxelc gets to them.
oxelc=$1
nonblocking=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
failed=0

# 20,000 lines of 85 bytes: far more than a pipe holds.
cat >out.ox <<'PROGRAM'
lo20000
    echo "a line of output of eighty-four bytes before its line feed.........................."
PROGRAM
got=$("$nonblocking" 1 -- "$oxelc" out.ox | { sleep 1; wc -c; })
if [ "$got" -ne 1700000 ]; then
    echo "output: expected 1700000 bytes, got $got"
    failed=1
fi

cat >in.ox <<'PROGRAM'
in x
echo x
in y
echo y
PROGRAM
got=$({ sleep 1; printf 'first\n'; sleep 1; printf 'second\n'; } | "$nonblocking" 0 -- "$oxelc" in.ox)
expected="first
second"
if [ "$got" != "$expected" ]; then
    echo "input: expected 'first' and 'second', got '$got'"
    failed=1
fi
exit $failed
