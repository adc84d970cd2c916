twice.oxh
(a. 4)
(b. twice a)
echo b
