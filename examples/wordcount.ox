cmt counts the lines, words and bytes of poem.txt, reading it in pieces
cmt (files open relative to the current folder: run it from the folder of poem.txt)
fopen f, "poem.txt", "r"
lines0
words0
bytes0
cmt (a variable named inword would not do: a line starting with "in" reads input)
midword0
more1
lo1000000 w more == 1
    (piece. fread f, 64)
    (n. len piece)
    if n == 0
        more0
    k0
    lo64 w k < n
        (c. char piece, k)
        if c == 10
            (lines. lines + 1)
        blank0
        if c == 10
            blank1
        if c == 32
            blank1
        if blank == 1
            midword0
        els
            if midword == 0
                (words. words + 1)
            midword1
        (k. k + 1)
    (bytes. bytes + n)
fclose f
(report. cat lines, " lines ")
(report. cat report, words)
(report. cat report, " words ")
(report. cat report, bytes)
(report. cat report, " bytes")
echo report
