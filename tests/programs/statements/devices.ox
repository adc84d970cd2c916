vga mode 13
vgax5
vga
port888
pout(port, 65)
pout anything here (65, port)
poutx( 1 , 2 )
