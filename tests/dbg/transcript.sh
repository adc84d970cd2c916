# A command-line session against its golden transcript: runs oxel-dbg on
# the program that the session's name begins with (PROGRAM.WHAT.commands
# debugs PROGRAM.ox), from the programs' folder so paths stay short, with the
# commands as its standard input; standard output and error together, then
# the exit status, must be the .expected file byte for byte.
#   sh transcript.sh OXEL_DBG SESSION.commands
# OXEL_UPDATE_GOLDEN=1 rewrites the .expected file instead.
dbg=$1
commands=$2
here=$(cd "$(dirname "$0")" && pwd)
name=$(basename "$commands" .commands)
program=${name%%.*}.ox
expected=${commands%.commands}.expected
actual=$(mktemp) || exit 99
(cd "$here/programs" && "$dbg" "$program" < "$commands" > "$actual" 2>&1; echo "status $?" >> "$actual")
if [ "${OXEL_UPDATE_GOLDEN:-}" = 1 ]; then
    cp "$actual" "$expected"
elif ! diff -u "$expected" "$actual"; then
    rm -f "$actual"
    exit 1
fi
rm -f "$actual"
