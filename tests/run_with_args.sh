#!/bin/sh
# Runs oxelc with the arguments listed one per line in a file; a line may be
# empty, which passes an empty argument.
oxelc=$1
list=$2
set --
while IFS= read -r line || [ -n "$line" ]; do
    set -- "$@" "$line"
done < "$list"
exec "$oxelc" "$@"
