x1

lib/none.oxh
