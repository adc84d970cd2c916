(r. 5.5 % 2)
echo r
(r. 7 % 0)
