echo 7
