#!/bin/sh
# Opening files until the descriptor table is full ends the run with the
# language's own report, written in full to standard error, and status 1;
# files written before stay as written. With standard error closed at the
# start, the report must not land in one of the program's files.
oxelc=$1
. "$(dirname "$0")/scratch_and_check.sh"

printf 'x\n' >x
cat >read.ox <<'PROGRAM'
fopen w, "kept.txt", "w"
fwrite w, "written before"
lo100000
    fopen f, "x", "r"
PROGRAM
cat >write.ox <<'PROGRAM'
lo100000
    fopen f, "w.txt", "w"
PROGRAM

err=$(ulimit -n 32; "$oxelc" read.ox 2>&1)
check "status, reading" "$?" 1
check "report, reading" "$err" "[Oxel Runtime Error]: Cannot open 'x' at line 4
[Oxel Execution Terminated]"
check "file written before" "$(cat kept.txt)" "written before"

err=$(ulimit -n 32; "$oxelc" write.ox 2>&1)
check "status, writing" "$?" 1
check "report, writing" "$err" "[Oxel Runtime Error]: Cannot create 'w.txt' at line 2
[Oxel Execution Terminated]"

(ulimit -n 32; "$oxelc" write.ox 2>&-)
check "status, error closed" "$?" 1
check "file, error closed" "$(cat w.txt)" ""
exit $failed
