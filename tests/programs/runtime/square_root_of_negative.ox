(r. sqrt. -4)
echo r
(r. sqrt. -4.0)
