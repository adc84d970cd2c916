vga
vga mode 13
echow "hi", 5000
pout(1, 65)
echo
echo "done"
