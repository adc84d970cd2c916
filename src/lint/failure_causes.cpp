// The cause of a compile error, named on the failing line (or at the
// definition it concerns): a word of another language, an operator where a
// statement takes one value, a statement word glued to a name, and for an
// undefined name the way the compiler came to read it as one.
#include <algorithm>
#include <charconv>

#include "compiler/text_rules.h"
#include "lint/checker.h"
#include "lint/near_names.h"

namespace oxel::lint {

namespace {

// Words of other languages and what Oxel writes instead. `fix` is the word
// to put in its place when that alone makes the line right.
struct ForeignWord {
    std::string_view word;
    std::string_view instead;
    std::string_view fix;
};

constexpr ForeignWord foreign_words[] = {
    {"else", "'els', alone on its line", "els"},
    {"elif", "'els' with an 'if' indented under it", ""},
    {"elsif", "'els' with an 'if' indented under it", ""},
    {"elseif", "'els' with an 'if' indented under it", ""},
    {"while", "a loop with a count and a 'w' condition: 'lo1000 w x < 10'", ""},
    {"for", "a loop with a count: 'lo10'", ""},
    {"loop", "a loop with its count glued on: 'lo10'", ""},
    {"print", "'echo'", "echo"},
    {"println", "'echo'", "echo"},
    {"puts", "'echo'", "echo"},
    {"return", "'rtn'", "rtn"},
    {"input", "'in'", "in"},
    {"read", "'in'", "in"},
    {"function", "'oxelfn name.params'", ""},
    {"def", "'oxelfn name.params'", ""},
    {"func", "'oxelfn name.params'", ""},
    {"let", "an assignment: '(name. value)'", ""},
    {"var", "an assignment: '(name. value)'", ""},
    {"end", "nothing: a block ends where its indentation does", ""},
    {"endif", "nothing: a block ends where its indentation does", ""},
    {"fi", "nothing: a block ends where its indentation does", ""},
    {"done", "nothing: a block ends where its indentation does", ""},
};

constexpr std::string_view arithmetic_operators = "+-*/%";
constexpr std::string_view comparison_bytes = "<>=!";

// The operator that starts `text` (after blanks): a run of arithmetic or
// comparison bytes, or a word; empty when there is none.
std::string_view operator_at(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    text.remove_prefix(start);
    if (arithmetic_operators.find(text[0]) != std::string_view::npos)
        return text.substr(0, 1);
    std::size_t length = text.find_first_not_of(comparison_bytes);
    if (length != 0)
        return text.substr(0, length);
    length = text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return text.substr(0, length);
}

// `digits` with its decimal point (or none) moved `exponent` places to the
// right, as a float literal; empty when that would be long.
std::string without_exponent(std::string_view mantissa, long exponent) {
    std::string sign = mantissa.starts_with('-') ? "-" : "";
    mantissa.remove_prefix(sign.size());
    std::size_t dot = mantissa.find('.');
    std::string digits(mantissa.substr(0, dot));
    if (dot != std::string_view::npos)
        digits += mantissa.substr(dot + 1);
    long point = static_cast<long>(dot == std::string_view::npos ? mantissa.size() : dot) + exponent;
    if (point < -20 || point > 40)
        return {};
    if (point <= 0)
        return sign + "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    if (static_cast<std::size_t>(point) >= digits.size())
        return sign + digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0') + ".0";
    return sign + digits.substr(0, static_cast<std::size_t>(point)) + "." +
           digits.substr(static_cast<std::size_t>(point));
}

}  // namespace

void Checks::explain_failure(std::size_t i, const Failure& failure) {
    StatementKind kind = classify_statement(text(i));
    if (kind != StatementKind::assignment && check_foreign_word(i))
        return;
    switch (failure.kind) {
        case FailureKind::undefined_variable:
            explain_undefined(i, kind, failure.where);
            return;
        case FailureKind::unknown_call: {
            std::string_view name = trim(text(i).substr(0, text(i).find('(')));
            std::string near = nearest_name(name, function_names());
            if (!near.empty()) {
                warn(i, column_of(i, name), Warning::unknown_name,
                     "no function is named '" + std::string(name) + "'; did you mean '" + near + "'?",
                     column_of(i, name) + name.size() - 1, near);
            }
            return;
        }
        case FailureKind::unknown_statement:
            if (check_operator_statement(i))
                return;
            break;
        case FailureKind::bad_loop:
        case FailureKind::bad_input_target:
        case FailureKind::echow_usage:
        case FailureKind::bad_pout:
        case FailureKind::pout_usage:
            if (!check_glued_function(i))
                check_glued_word(i, kind);
            return;
        default:
            return;
    }
}

// `else`, `print x`, `return x`: the first word of the line.
bool Checks::check_foreign_word(std::size_t i) {
    std::string_view line = text(i);
    std::string_view word = line.substr(0, line.find_first_of(" \t(:"));
    for (const ForeignWord& foreign : foreign_words) {
        if (word != foreign.word)
            continue;
        bool alone = word.size() == line.size() || is_blank(line[word.size()]);
        warn(i, code_column(i), Warning::foreign_word,
             "'" + std::string(word) + "' is no Oxel word; Oxel writes " + std::string(foreign.instead),
             code_column(i) + word.size() - 1, alone ? std::string(foreign.fix) : std::string());
        return true;
    }
    return false;
}

// `picked-1`, `x = 5`, `n + 1`: a name and an operator make no statement.
bool Checks::check_operator_statement(std::size_t i) {
    std::string_view line = text(i);
    std::size_t length = 0;
    while (length < line.size() && is_identifier_byte(line[length]))
        ++length;
    std::string_view name = line.substr(0, length);
    std::string_view op = operator_at(line.substr(length));
    if (!is_identifier(name) || op.empty() || (op.size() > 1 && op != "=" && !op.ends_with('=')))
        return false;
    std::string_view rest = trim(line.substr(static_cast<std::size_t>(op.data() - line.data()) + op.size()));
    std::string target(name);
    std::string message;
    if (op == "=") {
        message = "an assignment is written '(" + target + ". " + std::string(rest) + ")'";
    } else if (op.size() == 2 && op.back() == '=' && arithmetic_operators.find(op[0]) != std::string_view::npos) {
        message = "'" + std::string(op) + "' is no Oxel operator: write '(" + target + ". " + target + " " +
                  op[0] + " " + std::string(rest) + ")'";
    } else if (op.size() == 1 && arithmetic_operators.find(op[0]) != std::string_view::npos) {
        message = "'" + std::string(op) + "' is computed only in an assignment: write '(" + target + ". " +
                  target + " " + std::string(op) + " " + std::string(rest) + ")'";
        if (op == "-" && !rest.empty() && rest.find_first_not_of("0123456789.") == std::string_view::npos)
            message += ", or '(" + target + ". -" + std::string(rest) + ")' to assign a negative number";
    } else {
        return false;
    }
    warn(i, column_of(i, op), Warning::operator_statement, std::move(message), column_of(i, op) + op.size() - 1);
    return true;
}

// `insertion(5)` where `insertion` is a function: reported at its
// definition, which a statement word takes over.
bool Checks::check_glued_function(std::size_t i) {
    std::string_view line = text(i);
    std::size_t open = line.find('(');
    if (open == std::string_view::npos)
        return false;
    const Definition* definition = definition_named(trim(line.substr(0, open)));
    if (!definition)
        return false;
    std::size_t before = findings_.size();
    check_prefix_name(*definition, false);
    return findings_.size() > before;
}

// The failure's range is the name as written; the arithmetic form reads it
// without its blanks.
void Checks::explain_undefined(std::size_t i, StatementKind kind, const SourceRange& where) {
    if (where.first_column == 0 || where.first_column < code_column(i) || where.first_column > raw(i).size())
        return;
    std::string_view written = raw(i).substr(where.first_column - 1, where.last_column - where.first_column + 1);
    std::string name;
    for (char c : written) {
        if (!is_blank(c))
            name += c;
    }
    // a statement word that swallowed the name on an earlier line: "inword0" before "echo inword"
    std::size_t before = findings_.size();
    for (std::size_t j = 0; j < i; ++j) {
        if (is_identifier(name) && text(j).starts_with(name) && is_statement(j))
            check_glued_word(j, classify_statement(text(j)));
    }
    if (findings_.size() > before)
        return;
    if (check_quoted_operator(i, written) || check_exponent(i, written) || check_operator_blanks(i, written) ||
        check_operator_in_name(i, kind, written))
        return;
    check_unknown_name(i, kind, written);
}

// `(u. "a-b")`: the operator inside the quotes split the string, leaving
// an odd number of quotes in the name.
bool Checks::check_quoted_operator(std::size_t i, std::string_view written) {
    if (std::count(written.begin(), written.end(), '"') % 2 == 0)
        return false;
    std::string_view after = text(i).substr(static_cast<std::size_t>(written.data() + written.size() - text(i).data()));
    std::string_view op = operator_at(after);
    if (op.empty())
        return false;
    warn(i, column_of(i, op), Warning::quoted_operator,
         "this '" + std::string(op) +
             "' inside quotes splits the expression: operators are found even inside strings; "
             "put such a string in a variable with a string assignment ('s \"a-b\"')",
         column_of(i, op) + op.size() - 1);
    return true;
}

// `(x. 2.5e-3 * 4)`: the minus of the exponent was taken for subtraction.
bool Checks::check_exponent(std::size_t i, std::string_view written) {
    std::string_view mantissa = written.substr(0, written.size() - 1);
    std::string_view digits = mantissa.starts_with('-') ? mantissa.substr(1) : mantissa;
    if (written.size() < 2 || (written.back() != 'e' && written.back() != 'E') || digits.empty() ||
        !is_digit(digits[0]) || digits.find_first_not_of("0123456789.") != std::string_view::npos ||
        std::count(digits.begin(), digits.end(), '.') > 1)
        return false;
    std::string_view after = text(i).substr(static_cast<std::size_t>(written.data() + written.size() - text(i).data()));
    std::size_t sign = after.find_first_not_of(" \t");
    if (sign == std::string_view::npos || (after[sign] != '-' && after[sign] != '+'))
        return false;
    std::string_view power = after.substr(sign + 1);
    power = power.substr(0, power.find_first_not_of("0123456789"));
    long exponent = 0;
    auto [end, error] = std::from_chars(power.data(), power.data() + power.size(), exponent);
    if (power.empty() || error != std::errc{} || end != power.data() + power.size())
        return false;
    std::string plain = without_exponent(mantissa, after[sign] == '-' ? -exponent : exponent);
    std::string literal(written.data(), static_cast<std::size_t>(power.data() + power.size() - written.data()));
    std::size_t column = column_of(i, written);
    warn(i, column, Warning::negative_exponent,
         "'" + literal + "' is split at the sign of its exponent, which is read as an operator; " +
             (plain.empty() ? std::string("write the number without an exponent")
                            : "write it without one: " + plain),
         column + literal.size() - 1, literal.find_first_of(" \t") == std::string::npos ? plain : std::string());
    return true;
}

// `a ANDb`, `a\tAND b`, `a and b`: a logical operator needs one space on
// each side, and capitals. Glued to the operator must stand a value (a
// known variable or a literal), so that `a ORDERS` is not taken for `a OR
// DERS`.
bool Checks::check_operator_blanks(std::size_t i, std::string_view written) {
    if (written.find_first_of(" \t") == std::string_view::npos)
        return false;
    std::vector<std::string> known = known_variables(i);
    auto is_value = [&](std::string_view piece) {
        return !piece.empty() && (piece.find_first_not_of("0123456789.") == std::string_view::npos ||
                                  piece.front() == '"' || std::find(known.begin(), known.end(), piece) != known.end());
    };
    struct Logical {
        std::string_view op, written_as;
    };
    // XOR before OR, which it holds
    constexpr Logical logical[] = {{"XOR", "XOR"}, {"AND", "AND"}, {"OR", "OR"},
                                   {"xor", "XOR"}, {"and", "AND"}, {"or", "OR"}};
    for (const Logical& l : logical) {
        for (std::size_t at = written.find(l.op, 1); at != std::string_view::npos && at + l.op.size() < written.size();
             at = written.find(l.op, at + 1)) {
            char left = written[at - 1], right = written[at + l.op.size()];
            std::string_view before = written.substr(0, at), after = written.substr(at + l.op.size());
            std::string message;
            if (l.op != l.written_as && left == ' ' && right == ' ') {
                message = "the logical operators are written in capitals: '" + std::string(l.written_as) + "'";
            } else if (l.op == l.written_as && (is_blank(left) || is_blank(right)) && (left != ' ' || right != ' ') &&
                       (is_blank(left) || is_value(before)) && (is_blank(right) || is_value(after))) {
                message = "'" + std::string(l.op) + "' is an operator only with one space on each side: 'a " +
                          std::string(l.op) + " b'";
            } else {
                continue;
            }
            std::string_view op = written.substr(at, l.op.size());
            warn(i, column_of(i, op), Warning::operator_blanks, std::move(message), column_of(i, op) + op.size() - 1);
            return true;
        }
    }
    return false;
}

// `rtn x + 1`, `if a + 1 > 3`, `(r. a - b - c)`: an operator inside what
// is read as one value.
bool Checks::check_operator_in_name(std::size_t i, StatementKind kind, std::string_view written) {
    std::size_t at = written.find_first_of(arithmetic_operators, written.starts_with('-') ? 1 : 0);
    bool compares = false;
    if (at == std::string_view::npos || at == 0) {
        at = written.find_first_of(comparison_bytes);
        compares = true;
        if (at == std::string_view::npos || at == 0)
            return false;
    }
    std::string_view op = operator_at(written.substr(at));
    std::string what(written);
    std::string message;
    if (kind == StatementKind::assignment) {
        message = compares ? "a comparison is made only in an 'if' or a loop's 'w' condition"
                           : "an assignment computes one operator, so '" + what +
                                 "' is read as one name; compute it in two assignments";
    } else if (kind == StatementKind::conditional || kind == StatementKind::loop) {
        message = "a condition compares single values, so '" + what +
                  "' is read as one name; compute it in an assignment first, '(v. " + what + ")'";
    } else {
        std::string_view word = statement_word(kind);
        message = (word.empty() ? std::string("this statement") : "'" + std::string(word) + "'") +
                  " takes single values, so '" + what +
                  "' is read as one name; compute it in an assignment first, '(v. " + what + ")'";
    }
    warn(i, column_of(i, op), Warning::operator_statement, std::move(message), column_of(i, op) + op.size() - 1);
    return true;
}

// `(r. cube 3)`, `(r. totl + 1)`: a function or variable that does not
// exist, with the nearest that does.
bool Checks::check_unknown_name(std::size_t i, StatementKind kind, std::string_view written) {
    std::size_t blank = written.find_first_of(" \t");
    std::string_view word = written.substr(0, blank);
    if (!is_identifier(word))
        return false;
    std::size_t column = column_of(i, word);
    std::size_t last = column + word.size() - 1;
    std::vector<std::string> known = known_variables(i);
    auto is_known = [&](std::string_view name) { return std::find(known.begin(), known.end(), name) != known.end(); };
    if (blank != std::string_view::npos) {
        std::string what(written);
        if (definition_named(word)) {
            warn(i, column, Warning::unknown_name,
                 "'" + what + "' is read as one name: a function's value is taken in an assignment, '(r. " + what +
                     ")'",
                 last);
            return true;
        }
        std::string near = nearest_name(word, function_names());
        // no call is meant unless a function is near outside an assignment
        // (`echo hello world`) or when the word is a variable (`a ORDERS`)
        if (near.empty() && (kind != StatementKind::assignment || is_known(word)))
            return false;
        warn(i, column, Warning::unknown_name,
             "no function is named '" + std::string(word) + "', so '" + what + "' is read as one name" +
                 (near.empty() ? std::string() : "; did you mean '" + near + "'?"),
             last, near);
        return true;
    }
    std::string near = nearest_name(word, known);
    if (near.empty())
        return false;
    warn(i, column, Warning::unknown_name,
         "no variable '" + std::string(word) + "' is written before this line; did you mean '" + near + "'?", last,
         near);
    return true;
}

}  // namespace oxel::lint
