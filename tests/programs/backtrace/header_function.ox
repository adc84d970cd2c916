cmt the failing function is in a header, called with every argument form
lib.oxh
k3
(s. "text")
(r. half k, 1, s)
echo r
