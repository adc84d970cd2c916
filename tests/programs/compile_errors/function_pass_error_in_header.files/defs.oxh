oxelfn good
cmt the function pass runs before any body, with no file named
oxelfn 2bad
