// The words' help, from the guide's quick reference.
#include "lsp/word_help.h"

#include "compiler/statement_kind.h"

namespace oxel::lsp {

namespace {

constexpr std::string_view comment_row = "| `cmt text` | comment (also after a statement: `x5 cmt text`) |";
constexpr std::string_view if_row = "| `if condition` / `els` | conditional blocks |";
constexpr std::string_view loop_row = "| `loN`, `loN w condition` | repeat N times, while the condition holds |";
constexpr std::string_view file_row = "| `fwrite f, value`, `fclose f` | write to a file, close it |";
constexpr std::string_view device_row =
    "| `echow value, ms`, `vga text`, `pout(port, value)` | device statements |";
constexpr std::string_view bitwise_row = "| `a AND b`, `a OR b`, `a XOR b` | bitwise operations |";
constexpr std::string_view string_row =
    "| `len s`, `char s, i`, `cmp a, b`, `cat a, b` | strings (`len` also counts an array) |";
constexpr std::string_view condition_line = "Conditions, after `if` and `w`: `true`, `false`, a single value, or";
constexpr std::string_view marker_line = "Three lines are accepted and do nothing at all: `ox.init`, `branch` and";

constexpr WordHelp table[] = {
    {"cmt", comment_row},
    {"echo", "| `echo value`, `echo` | print a value, or an empty line |"},
    {"echow", device_row},
    {"vga", device_row},
    {"pout", device_row},
    {"in", "| `in name` | read a line of standard input |"},
    {"if", if_row},
    {"els", if_row},
    {"lo", loop_row},
    {"w", loop_row},
    {"oxelfn", "| `oxelfn name.a, b` | define a function (`oxelfn name` without parameters) |"},
    {"rtn", "| `rtn value` | return from a function |"},
    {"set", "| `set arr, index, value` | store an array element |"},
    {"fopen", "| `fopen f, path, \"r\"` or `\"w\"` | open a file |"},
    {"fwrite", file_row},
    {"fclose", file_row},
    {"AND", bitwise_row},
    {"OR", bitwise_row},
    {"XOR", bitwise_row},
    {"bit", "| `bit shl a, n`, `bit shr a, n`, `bit not a` | shifts and complement |"},
    {"sqrt", "| `sqrt. a` | square root |"},
    {"len", string_row},
    {"char", string_row},
    {"cmp", string_row},
    {"cat", string_row},
    {"get", "| `get arr, index` | read an array element |"},
    {"fread", "| `fread f, n` | read up to n bytes from a file |"},
    {"true", condition_line},
    {"false", condition_line},
    // the markers that stand alone on a line
    {"oxel", marker_line},
    {"ox.init", marker_line},
    {"branch", marker_line},
};

}  // namespace

const std::span<const WordHelp> word_help{table};

std::optional<std::string> help_for(std::string_view word) {
    for (const WordHelp& row : word_help) {
        if (row.word != word)
            continue;
        std::string_view line = row.guide_line;
        if (!line.starts_with("| "))
            return std::string(line);
        line = line.substr(2, line.size() - 4);  // without "| " and " |"
        std::size_t bar = line.find(" | ");
        return std::string(line.substr(0, bar)) + ": " + std::string(line.substr(bar + 3));
    }
    return std::nullopt;
}

bool is_reserved_name(std::string_view name) {
    for (const StatementWord& row : statement_words) {
        if (name == row.word || (row.match == WordMatch::prefix && name.starts_with(row.word)))
            return true;
    }
    for (const WordHelp& row : word_help) {
        if (name == row.word)
            return true;
    }
    return false;
}

}  // namespace oxel::lsp
