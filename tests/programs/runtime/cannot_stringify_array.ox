lib/text.oxh
a(2)
(s. label "n", 1)
echo s
(s. label "n", a)
