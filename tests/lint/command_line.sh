#!/bin/sh
# oxel-lint's options and exit statuses.
# Usage: command_line.sh OXEL_LINT SCRATCH_DIR
lint=$1 dir=$2
rm -rf "$dir" && mkdir -p "$dir" && cd "$dir" || exit 1
failed=0
expect() {  # expect STATUS COMMAND...: runs it, output in out.txt
    want=$1; shift
    "$@" >out.txt 2>err.txt
    got=$?
    [ "$got" = "$want" ] || { echo "status $got, expected $want: $*"; cat out.txt err.txt; failed=1; }
}
printf 'x5\necho x\n' >clean.ox
printf 'x5\n' >unused.ox
printf 'echo y\n' >broken.ox
printf 'oxelfn f\n    rtn 1\n' >lib.oxh
printf 'oxelfn sq.x\n    rtn x\nsqr(4)\n' >typo.ox

expect 0 "$lint" clean.ox
[ -s out.txt ] && { echo "clean program printed"; failed=1; }
expect 1 "$lint" unused.ox
grep -q '^unused.ox:1:1: warning: .* \[unused-variable\]$' out.txt || { echo "no warning line"; failed=1; }
expect 0 "$lint" --disable=paren-no-dot,unused-variable unused.ox
expect 1 "$lint" broken.ox
grep -q "^broken.ox:1:6: error: Undefined variable 'y'$" out.txt || { echo "no error line"; failed=1; }
expect 1 "$lint" --format=json clean.ox unused.ox
grep -q '"name": "unused-variable"' out.txt || { echo "no JSON finding"; failed=1; }
# the range under the caret, and in JSON with the certain fix
expect 1 "$lint" typo.ox
[ "$(sed -n 3p out.txt)" = "^~~" ] || { echo "no range under the caret: $(cat out.txt)"; failed=1; }
expect 1 "$lint" --format=json typo.ox
grep -q '"column": 1, "end_column": 3, .*"fix": "sq"}' out.txt || { echo "no range or fix in JSON: $(cat out.txt)"; failed=1; }
expect 0 "$lint" --format=json clean.ox
[ "$(cat out.txt)" = "[]" ] || { echo "JSON of a clean program: $(cat out.txt)"; failed=1; }
# unreadable files and headers given directly: status 2, the other files still checked
expect 2 "$lint" missing.ox unused.ox
grep -q "unused-variable" out.txt || { echo "file after a missing one not checked"; failed=1; }
expect 2 "$lint" lib.oxh
expect 2 "$lint"
expect 2 "$lint" --disable=no-such-warning clean.ox
expect 2 "$lint" --frobnicate clean.ox
expect 0 "$lint" --list
grep -q '^unreachable	' out.txt || { echo "--list lacks a warning"; failed=1; }
expect 0 "$lint" --version
grep -q '^oxel-lint [0-9]' out.txt || { echo "no version"; failed=1; }
expect 0 "$lint" --help
grep -q '^Usage: oxel-lint ' out.txt && grep -q -- '--disable=NAME' out.txt && grep -q '^Exit status' out.txt ||
    { echo "--help lacks the usage, the options or the statuses"; failed=1; }
[ $failed = 0 ] && echo "command line: all cases passed"
exit $failed
