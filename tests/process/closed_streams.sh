#!/bin/sh
# Started with a standard stream closed, oxelc must not let the first file
# the program opens take the stream's number: output, error reports and
# input would then go to or come from that file.
oxelc=$1
. "$(dirname "$0")/scratch_and_check.sh"

# Standard output closed: the echo goes nowhere, not into the file.
cat >out.ox <<'PROGRAM'
fopen f, "out.txt", "w"
echo "for standard output"
fwrite f, "for the file"
fclose f
PROGRAM
"$oxelc" out.ox >&-
check "status, output closed" "$?" 0
check "file, output closed" "$(cat out.txt)" "for the file"

# Standard error closed: the report goes nowhere, not into the file.
cat >err.ox <<'PROGRAM'
fopen f, "err.txt", "w"
fwrite f, "for the file"
(x. 1 / 0)
PROGRAM
"$oxelc" err.ox 2>&-
check "status, error closed" "$?" 1
check "file, error closed" "$(cat err.txt)" "for the file"

# Standard input closed: input reads nothing, not the file's contents.
printf 'TOP SECRET\n' >secret.txt
cat >in.ox <<'PROGRAM'
fopen f, "secret.txt", "r"
in x
echo x
PROGRAM
check "input closed" "$("$oxelc" in.ox <&-)" 0
exit $failed
