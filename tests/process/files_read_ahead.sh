#!/bin/sh
# A file the program opens is read ahead in blocks, invisibly: the file's
# offset seen in /proc is just past the bytes taken, output that standard
# output writes into the file being read is seen by later reads, and a file
# read a byte at a time costs a system call per block, not per byte.
oxelc=$1
. "$(dirname "$0")/scratch_and_check.sh"

printf 'abcdefghij' >data.txt
cat >offset.ox <<'PROGRAM'
fopen f, "data.txt", "r"
(c. fread f, 3)
fopen g, "/proc/self/fdinfo/3", "r"
(info. fread g, 6)
echo info
(c. fread f, 2)
echo c
PROGRAM
# Descriptors 3 and up closed, so the program's first file is number 3.
check "offset" "$("$oxelc" offset.ox 3<&- 4<&- 5<&- 6<&- 7<&- 8<&- 9<&-)" "pos:	3
de"

# Standard output opened on the file without truncating it, so the program's
# output overwrites bytes a block read ahead would already hold.
printf '0123456789' >out.txt
cat >own_output.ox <<'PROGRAM'
fopen f, "out.txt", "r"
(a. fread f, 1)
echo "ab"
(b. fread f, 5)
fopen g, "copy.txt", "w"
fwrite g, b
PROGRAM
"$oxelc" own_output.ox 1<>out.txt
check "standard output into the file read" "$(cat copy.txt)" "b
345"

head -c 200000 /dev/zero | tr '\0' 'x' >big.txt
cat >bytes.ox <<'PROGRAM'
fopen f, "big.txt", "r"
n0
c"x"
lo1000000 w c != ""
    (c. fread f, 1)
    (n. n + 1)
echo n
fopen g, "/proc/self/io", "r"
(io. fread g, 1000)
echo io
PROGRAM
out=$("$oxelc" bytes.ox)
check "bytes read" "$(echo "$out" | head -1)" "200001"
reads=$(echo "$out" | sed -n 's/^syscr: //p')
if [ -z "$reads" ] || [ "$reads" -gt 1000 ]; then
    echo "reading 200000 bytes one at a time took $reads read calls"
    failed=1
fi
exit $failed
