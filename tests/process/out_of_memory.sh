#!/bin/sh
# Exhausted memory ends the run with the one short message and status 1.
# Runs oxelc under an address-space limit; not in sanitizer builds, whose
# shadow memory needs more address space than any such limit allows.
oxelc=$1
program=$2
# An emulator runs inside the same limit and needs more room for itself
# (OXEL_MEMORY_LIMIT, in KiB).
err=$(ulimit -v "${OXEL_MEMORY_LIMIT:-300000}"; "$oxelc" "$program" 2>&1 >/dev/null)
status=$?
if [ "$status" != 1 ] || [ "$err" != "error: OutOfMemory" ]; then
    echo "expected status 1 and 'error: OutOfMemory', got status $status and '$err'"
    exit 1
fi
