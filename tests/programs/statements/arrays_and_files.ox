buf(64)
set buf, 1, 65
n3
set buf, n, n
fopen f, "out.txt", "w"
fwrite f, "text"
fwrite f, buf
fclose f
fopen	g ,"in.txt","r"
(r. fread g, 4)
fclose	g
(v. get buf, 1)
