fopen f, "out.txt", "w"
fwrite f, 1
a(1)
fwrite f, a
