x5
