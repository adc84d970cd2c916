fopen f, "out.txt", "w"
fwrite f, "x"
fclose f
fclose f
fwrite f, "y"
