fopen f, 5, 7
