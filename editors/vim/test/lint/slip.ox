cmt a slip, and the error it leads to
inword0
echo inword
