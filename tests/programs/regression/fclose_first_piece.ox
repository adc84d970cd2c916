cmt the handle is the first comma piece; what follows is never looked at
fopen f, "a.txt", "w"
fopen g, "b.txt", "w"
fclose f, g
fwrite g, "still open"
fclose g,
fwrite f, "closed"
