// Which statement a line is, by the same byte tests, in the same order, as
// the statement compiler tries them. Read by tools that look at a program
// without compiling it again (oxel-lint); the compiler's own tests pin that
// this order and the compiler's agree line for line.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/program.h"

namespace oxel {

enum class StatementKind : std::uint8_t {
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

// The text of a stored line that is neither an ignored line nor an `oxelfn` line.
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
