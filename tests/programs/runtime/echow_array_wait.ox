a(2)
echow "x", a
