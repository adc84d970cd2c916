x1
if x
	echo 1
    echo 2
  	echo 3
   echo 4
	
