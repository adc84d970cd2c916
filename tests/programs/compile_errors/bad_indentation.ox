cmt

x1
if x
        echo x
