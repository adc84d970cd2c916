x1
lib/m.oxh
(r. deep 1)
