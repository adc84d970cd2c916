// Which statement a line is, and which form an assignment's expression
// takes. The statement compiler's block walk classifies every stored line
// with classify_statement (statement_kind.cpp); tools that look at a
// compiled program's lines (oxel-lint) read the same kinds, and the words
// from the one table below.
#pragma once

#include <cstdint>
#include <string_view>

#include "image/line_code.h"  // comment_word
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

// How a line must hold a statement word to be that statement.
enum class WordMatch : std::uint8_t {
    exact,   // the whole line: `echo`, `branch`
    word,    // the word and a blank: `echo x`
    prefix,  // the word and anything, even nothing: `inx`, `lo10`
};

struct StatementWord {
    std::string_view word;
    WordMatch match;
    StatementKind kind;
};

// Every word that makes a line a statement, a marker or a definition. No
// line matches two rows, so the order decides nothing about a line's kind; it
// is the order in which oxel-lint offers a word for a misspelt one.
inline constexpr StatementWord statement_words[] = {
    {"echo", WordMatch::exact, StatementKind::print_empty},
    {"echo", WordMatch::word, StatementKind::print},
    {"echow", WordMatch::prefix, StatementKind::print_with_wait},
    {"rtn", WordMatch::exact, StatementKind::bare_return},
    {"rtn", WordMatch::word, StatementKind::return_value},
    {"set", WordMatch::word, StatementKind::array_store},
    {"fopen", WordMatch::word, StatementKind::open_file},
    {"fwrite", WordMatch::word, StatementKind::write_file},
    {"fclose", WordMatch::exact, StatementKind::bare_close},
    {"fclose", WordMatch::word, StatementKind::close_file},
    {"vga", WordMatch::prefix, StatementKind::display},
    {"pout", WordMatch::prefix, StatementKind::port_output},
    {"els", WordMatch::exact, StatementKind::bare_else},
    {"if", WordMatch::word, StatementKind::conditional},
    {"in", WordMatch::prefix, StatementKind::input},
    {"lo", WordMatch::prefix, StatementKind::loop},
    {"oxelfn", WordMatch::prefix, StatementKind::definition},
    {"oxel", WordMatch::exact, StatementKind::ignored},
    {"ox.init", WordMatch::exact, StatementKind::ignored},
    {"branch", WordMatch::exact, StatementKind::ignored},
};

// The word of the first row of that kind; empty for the kinds no word makes.
constexpr std::string_view statement_word(StatementKind kind) {
    for (const StatementWord& row : statement_words) {
        if (row.kind == kind)
            return row.word;
    }
    return {};
}

// The text of a stored line (never empty). A line ending in `.oxh` is an
// include; a line in parentheses is an assignment if it holds a '.', else a
// note; then the statement words; then the forms told apart by their bytes.
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
