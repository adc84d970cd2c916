fopen f, "data.txt", "rb"
