f1.5
fwrite f, 1
