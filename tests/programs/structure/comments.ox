cmt whole line
x5 cmt set x to 5
cmtx5
echo "a cmt b" cmt trailing
echo "x" cmt "y" cmt z
        cmt comment lines are dropped whatever their level
echo x	cmt	tabs around
(note: parenthesised lines without a dot are ignored)
ox.init
branch
oxel
echo cmtx
cmt
echo "cmt"
