x1
inc/bad.oxh
