fopen f, "out.txt", "w"
echo f
fwrite f, -12
fwrite f, 2.5
fwrite f, ""
fwrite f, "ab"
fclose f
fclose f
fopen g, "out.txt", "r"
echo g
(d. fread g, 4)
echo d
(d. fread g, 100)
echo d
(d. fread g, 10)
(n. len d)
echo n
fclose g
fopen h, "old.txt", "w"
fwrite h, "new"
fclose h
fopen i, "in.txt", "r"
(d. fread i, 0)
(n. len d)
echo n
(d. fread i, 10)
echo d
