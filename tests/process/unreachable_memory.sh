#!/bin/sh
# What a program can no longer reach is released while it runs: a program
# that makes far more than the address-space limit in all, but never holds
# much at once, runs to its end. Not in sanitizer builds (see out_of_memory.sh).
oxelc=$1
program=$2
out=$(ulimit -v 300000; "$oxelc" "$program" 2>&1)
status=$?
expected="299
1048579"
if [ "$status" != 0 ] || [ "$out" != "$expected" ]; then
    echo "expected status 0 and '$expected', got status $status and '$out'"
    exit 1
fi
