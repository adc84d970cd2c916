echo 1
(x. 5 % 0)
echo x
