// Which statement a line is, as the statement compiler reads it (its own
// classification, statement_compiler.cpp), and which form an assignment's
// expression takes. For tools that look at a compiled program's lines
// (oxel-lint).
#pragma once

#include <cstdint>
#include <string_view>

#include "image/program.h"

namespace oxel {

enum class StatementKind : std::uint8_t {
    ignored,            // markers, includes, `(note)`: no statement
    definition,         // `oxelfn ...`: skipped with its body inside a block
    bare_return,        // `rtn` alone: "rtn needs a value"
    return_value,       // `rtn x`
    bare_else,          // `els`: the else-line of an `if`, or "els without if"
    conditional,        // `if x`
    loop,               // `lo10`
    print_with_wait,    // `echow x, ms`
    print_empty,        // `echo`
    print,              // `echo x`
    input,              // `in x`
    array_store,        // `set a, i, v`
    open_file,          // `fopen f, path, mode`
    bare_close,         // `fclose`: "fclose needs a handle"
    write_file,         // `fwrite f, v`
    close_file,         // `fclose f`
    display,            // `vga ...`
    port_output,        // `pout(port, v)`
    assignment,         // `(t. expression)`
    call_or_array,      // `name(arguments)`
    string_assignment,  // `name "text"`
    number_assignment,  // `name5`, `name1.5`
};

// The text of a stored line.
StatementKind classify_statement(std::string_view text);

// The form of an assignment's expression, tried in the order that
// compile_assignment tries them.
enum class AssignmentForm : std::uint8_t { square_root, prefix, logic, call, arithmetic, operand };

struct AssignmentShape {
    AssignmentForm form;
    std::string_view prefix;  // the prefix form's word ("cat", "bit shl"); empty for the others
    bool two_arguments;       // the rest is split at commas into exactly two pieces
};

// `program` is needed for the call form: only a defined function makes one.
AssignmentShape classify_assignment(const Program& program, std::string_view expression);

}  // namespace oxel
