n"nan"
(f. n + 0)
echo f
(r. bit not f)
