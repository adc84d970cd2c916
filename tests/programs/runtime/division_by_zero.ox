echo 1
(r. 1.0 / 0)
