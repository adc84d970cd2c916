fopen f, "no/such/dir.txt", "w"
