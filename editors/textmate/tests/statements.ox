cmt SYNTAX TEST "source.oxel" "every statement form"
cmt a whole-line comment
cmt <--- comment.line.oxel

ox.init
cmt <------- keyword.other.marker.oxel
(a remark without a dot)
cmt <------- comment.block.ignored.oxel
shapes.oxh
cmt <-------- string.unquoted.include.oxel

oxelfn area.w, h
cmt <------ storage.type.function.oxel
cmt    ^^^^ entity.name.function.oxel
cmt        ^ punctuation.separator.parameters.oxel
cmt         ^ variable.parameter.oxel
cmt          ^ punctuation.separator.comma.oxel
cmt            ^ variable.parameter.oxel
    (a. w * h)
cmt ^ punctuation.section.parens.begin.oxel
cmt  ^ variable.other.assignment.oxel
cmt   ^ punctuation.separator.assignment.oxel
cmt     ^ variable.other.oxel
cmt       ^ keyword.operator.arithmetic.oxel
cmt          ^ punctuation.section.parens.end.oxel
    rtn a
cmt ^^^ keyword.control.return.oxel
cmt     ^ variable.other.oxel

oxelfn tick
cmt <------ storage.type.function.oxel
cmt    ^^^^ entity.name.function.oxel
    echo "tick"
cmt ^^^^ keyword.other.statement.oxel
cmt      ^^^^^^ string.quoted.double.oxel

count10
cmt <----- variable.other.assignment.oxel
cmt  ^^ constant.numeric.integer.oxel
x1.5
cmt <- variable.other.assignment.oxel
cmt <~--- constant.numeric.float.oxel
t-0.25 cmt a negative float
cmt <- variable.other.assignment.oxel
cmt <~----- constant.numeric.float.oxel
cmt    ^^^^^^^^^^^^^^^^^^ comment.line.oxel
greeting "a, b - c"
cmt <-------- variable.other.assignment.oxel
cmt      ^^^^^^^^^^ string.quoted.double.oxel

(r. sqrt. x)
cmt ^^^^^ keyword.operator.word.oxel
(r. bit shl x, 3)
cmt ^^^^^^^ keyword.operator.word.oxel
cmt            ^ constant.numeric.integer.oxel
(r. cat greeting, "!")
cmt ^^^ keyword.operator.word.oxel
cmt     ^^^^^^^^ variable.other.oxel
cmt               ^^^ string.quoted.double.oxel
(r. x AND 1)
cmt   ^^^ keyword.operator.bitwise.oxel
(r. area 6, 7)
cmt ^^^^ entity.name.function.call.oxel
cmt      ^ constant.numeric.integer.oxel
(r. -2 * x)
cmt ^^ constant.numeric.integer.oxel
cmt    ^ keyword.operator.arithmetic.oxel
(r. true)
cmt ^^^^ constant.language.boolean.oxel

if x >= 1.5
cmt <-- keyword.control.conditional.if.oxel
cmt  ^^ keyword.operator.comparison.oxel
cmt     ^^^ constant.numeric.float.oxel
    echo x
els
cmt <--- keyword.control.conditional.else.oxel
    echo
cmt ^^^^ keyword.other.statement.oxel

lo10 w count < 5
cmt <-- keyword.control.loop.oxel
cmt <~~-- constant.numeric.integer.oxel
cmt  ^ keyword.control.loop.while.oxel
cmt          ^ keyword.operator.comparison.oxel
    (count. count + 1)
lo3
cmt <-- keyword.control.loop.oxel
cmt <~~- constant.numeric.integer.oxel
loop5
cmt <----- invalid.illegal.bad-loop.oxel

buf(64)
cmt <--- entity.name.function.call.oxel
cmt <~~~- punctuation.section.arguments.begin.oxel
cmt ^^ constant.numeric.integer.oxel
cmt   ^ punctuation.section.arguments.end.oxel
set buf, 0, 7
cmt <--- keyword.other.statement.oxel
cmt ^^^ variable.other.oxel
(v. get buf, 0)
cmt ^^^ keyword.operator.word.oxel
tick()
cmt <---- entity.name.function.call.oxel

in name
cmt <-- keyword.other.statement.input.oxel
cmt ^^^^ variable.other.oxel
index5
cmt <-- keyword.other.statement.input.oxel

fopen f, "out.txt", "w"
cmt <----- keyword.other.statement.oxel
cmt   ^ variable.other.oxel
cmt      ^^^^^^^^^ string.quoted.double.oxel
fwrite f, count
cmt <------ keyword.other.statement.oxel
fclose f
cmt <------ keyword.other.statement.oxel
fopen g, "out.txt", "r"
(s. fread g, 10)
cmt ^^^^^ keyword.operator.word.oxel

echow "ready", 500
cmt <----- keyword.other.statement.oxel
cmt   ^^^^^^^ string.quoted.double.oxel
cmt          ^ punctuation.separator.comma.oxel
cmt            ^^^ constant.numeric.integer.oxel
vga mode 13
cmt <--- keyword.other.statement.oxel
cmt ^^^^^^^ string.unquoted.oxel
pout(888, 65)
cmt <---- keyword.other.statement.oxel
cmt  ^^^ constant.numeric.integer.oxel
echo "a cmt inside quotes" cmt outside
cmt       ^^^ string.quoted.double.oxel - comment.line.oxel
cmt                        ^^^ comment.line.oxel
