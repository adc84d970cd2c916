#!/bin/sh
# A write to a pipe whose reader has gone fails like any other write: it is
# ignored and the run goes on (here to its deliberate error at line 4),
# instead of the process being killed by the platform's signal.
oxelc=$1
program=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
{ "$oxelc" "$program" 2>"$scratch/err"; echo $? >"$scratch/status"; } | head -c 0
status=$(cat "$scratch/status")
expected="[Oxel Runtime Error]: Division by zero at line 4
[Oxel Execution Terminated]"
if [ "$status" != 1 ] || [ "$(cat "$scratch/err")" != "$expected" ]; then
    echo "expected status 1 and the division report, got status $status and:"
    cat "$scratch/err"
    exit 1
fi
