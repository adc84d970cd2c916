cmt a small conversation on standard input
echo "What is your name?"
in name
echo "How old are you?"
in age
(next. age + 1)
(line. cat "Hello ", name)
echo line
(line. cat "Next year you will be ", next)
echo line
