cmt headers are taken in once, each relative to the file that names it
lib/strings.oxh
oxelfn local.x
    rtn x
lib/strings.oxh
(g. greet "you")
echo g
(t. twice 21)
echo t
