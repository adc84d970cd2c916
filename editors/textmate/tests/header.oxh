cmt SYNTAX TEST "source.oxel" "a header file"
other.oxh
cmt <--------- string.unquoted.include.oxel
oxelfn square . side
cmt <------ storage.type.function.oxel
cmt    ^^^^^^ entity.name.function.oxel
cmt                ^^^^ variable.parameter.oxel
    (a. side * side)
cmt  ^ variable.other.assignment.oxel
    rtn a
cmt ^^^ keyword.control.return.oxel
