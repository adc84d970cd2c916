cmt a directory is no file: opening one to read fails at the open, not at the first read
fopen f, "sub", "r"
(s. fread f, 10)
echo s
