x5
echo x
