// Every warning oxel-lint gives: one row each, with the name users see (in
// reports, `--disable=` and `lint-ignore=`) and the one-line summary that
// `--list` prints. The checks name a warning by its enum row; the names,
// `--list`, the JSON reports and the documentation check come from the rows.
#pragma once

#include <cstdint>
#include <string_view>

namespace oxel::lint {

// X(row, name, summary), in the order the documentation lists them.
#define OXEL_WARNINGS(X)                                                                             \
    X(prefix_word, "prefix-word",                                                                    \
      "a statement word that needs no blank is glued to a name: 'inword0' reads input")              \
    X(statement_typo, "statement-typo",                                                              \
      "a misspelt statement is taken as an assignment: 'ehco \"hello\"', 'echo5'")                   \
    X(call_typo, "call-typo", "a misspelt call creates an array: 'shwo(5)' for the function 'show'") \
    X(indent_unit, "indent-unit", "indentation that is not a whole number of 4-column levels")       \
    X(mixed_indent, "mixed-indent", "tabs and spaces mixed in indentation")                          \
    X(skipped_lines, "skipped-lines",                                                                \
      "lines that are never compiled: after a body's early end, or under a nested oxelfn")           \
    X(empty_block, "empty-block", "'if', 'els' or 'lo' with nothing indented under it")              \
    X(paren_no_dot, "paren-no-dot", "a parenthesised line without '.' is ignored: '(total + 1)'")    \
    X(quoted_comma, "quoted-comma", "a comma inside quotes splits a comma-separated argument")       \
    X(prefix_name, "prefix-name",                                                                    \
      "a function whose name a statement word or an assignment form takes: 'insertion', 'len'")     \
    X(unreachable, "unreachable", "a statement after 'rtn' in the same block")                       \
    X(unused_variable, "unused-variable", "a variable that is written and never read")               \
    X(unused_function, "unused-function", "a function that is never called")                         \
    X(foreign_word, "foreign-word", "a word of another language: 'else' for 'els', 'return' for 'rtn'") \
    X(operator_statement, "operator-statement",                                                      \
      "an operator where one value is taken: 'picked-1', 'x = 5', 'rtn x + 1'")                      \
    X(operator_blanks, "operator-blanks", "a logical operator without one space on each side: 'a ANDb'") \
    X(quoted_operator, "quoted-operator", "an operator inside quotes splits the string: '(u. \"a-b\")'")  \
    X(negative_exponent, "negative-exponent", "a number's exponent split at its sign: '(x. 2.5e-3)'")  \
    X(unknown_name, "unknown-name", "an undefined function or variable, and the defined name it is near") \
    X(byte_order_mark, "byte-order-mark", "a UTF-8 byte-order mark at the start of a file")

enum class Warning : std::uint8_t {
#define OXEL_ROW(row, name, summary) row,
    OXEL_WARNINGS(OXEL_ROW)
#undef OXEL_ROW
};

struct WarningInfo {
    std::string_view name;
    std::string_view summary;
};

inline constexpr WarningInfo warning_table[] = {
#define OXEL_ROW(row, name, summary) {name, summary},
    OXEL_WARNINGS(OXEL_ROW)
#undef OXEL_ROW
};

constexpr std::string_view warning_name(Warning warning) {
    return warning_table[static_cast<std::size_t>(warning)].name;
}

}  // namespace oxel::lint
