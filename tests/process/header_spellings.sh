#!/bin/sh
# One header file named under many spellings: each spelling is still an
# include of its own, but the file is read once (a named pipe that can be
# read only once shows it), and the text taken in by all includes together
# stays below the main file's limit of 10,485,760 bytes, so a flood of
# spellings, or a header naming itself through one more "./" each time,
# ends with a report instead of exhausting memory.
oxelc=$1
. "$(dirname "$0")/scratch_and_check.sh"

# A named pipe gives its text to the first reader only; a second read would
# wait for a writer that never comes (the timeout ends that).
mkfifo once.oxh
printf 'oxelfn f\n    rtn 7\n' >once.oxh &
printf 'once.oxh\n./once.oxh\n.//once.oxh\n(r. f ,)\necho r\n' >pipe.ox
check "read once" "$(timeout 20 "$oxelc" pipe.ox 2>&1)" 7
kill $! 2>/dev/null

# 2,000,021 bytes, nearly all comments: five includes stay below the
# limit, the sixth reaches it.
awk 'BEGIN { line = "cmt "; for (i = 0; i < 95; i++) line = line "x"; for (i = 0; i < 20000; i++) print line }' >z.oxh
{ echo "oxelfn g"; echo "    rtn 1"; } >>z.oxh
spelling=z.oxh
: >many.ox
i=0
while [ $i -lt 100 ]; do
    echo "$spelling" >>many.ox
    spelling="./$spelling"
    i=$((i + 1))
done
echo 'echo "compiled"' >>many.ox
check "many spellings" "$("$oxelc" many.ox 2>&1)" "[Oxel Runtime Error]: Cannot open header './././././z.oxh' at line 6
[Oxel Execution Terminated]"
head -5 many.ox >five.ox
echo '(r. g ,)' >>five.ox
echo 'echo r' >>five.ox
check "five spellings" "$("$oxelc" five.ox 2>&1)" 1

# A header naming itself through one more "./" each time.
cp z.oxh self.oxh
echo "./self.oxh" >>self.oxh
echo "self.oxh" >self.ox
check "self include" "$("$oxelc" self.ox 2>&1)" "[Oxel Runtime Error]: Cannot open header './././././self.oxh' at line 20003
[Oxel Execution Terminated]"
exit $failed
