defs.oxh
(r. 1 +)
