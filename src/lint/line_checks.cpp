// The checks of each line's statement: statement words glued to names,
// misspelt statements and calls, commas in quotes, empty blocks and lines
// after a return.
#include <algorithm>
#include <optional>

#include "compiler/text_rules.h"
#include "lint/checker.h"
#include "lint/near_names.h"

namespace oxel::lint {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// `name` looks like a slip of the keyboard for `word`.
bool looks_like(std::string_view name, std::string_view word) {
    return name != word && (edit_distance(name, word) <= 1 || equal_ignoring_case(name, word));
}

// The byte of the first comma inside double quotes that the statement's
// argument splitting will cut at; npos when there is none. `all` is false
// where only the first comma cuts (echow).
std::size_t quoted_comma(std::string_view arguments, bool all) {
    bool quoted = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == '"') {
            quoted = !quoted;
        } else if (arguments[i] == ',') {
            if (quoted)
                return i;
            if (!all)
                return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

// The part of a statement that is split at commas, as a view into `text`.
std::optional<std::string_view> split_part(const Program& program, std::string_view text, StatementKind kind,
                                           bool& all) {
    all = true;
    switch (kind) {
        case StatementKind::print_with_wait:
            all = false;
            return text.substr(statement_word(kind).size());
        case StatementKind::array_store:
        case StatementKind::open_file:
        case StatementKind::write_file:
            return text.substr(statement_word(kind).size());
        case StatementKind::port_output:
        case StatementKind::call_or_array: {
            std::size_t open = text.find('(');
            if (open == std::string_view::npos)
                return std::nullopt;
            return text.substr(open + 1);
        }
        case StatementKind::assignment: {
            std::size_t dot = text.find('.');
            if (dot == std::string_view::npos)
                return std::nullopt;
            std::string_view expression = text.substr(dot + 1, text.size() - dot - 2);
            AssignmentShape shape = classify_assignment(program, expression);
            if (shape.form == AssignmentForm::call ||
                (shape.form == AssignmentForm::prefix && shape.two_arguments))
                return expression;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// The words a misspelt statement may be meant as: each statement word once,
// in the table's order, and the comment word.
const std::vector<std::string_view>& typo_words() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> list;
        for (const StatementWord& row : statement_words) {
            if (row.kind != StatementKind::ignored && row.kind != StatementKind::definition &&
                std::find(list.begin(), list.end(), row.word) == list.end())
                list.push_back(row.word);
        }
        list.push_back(comment_word);
        return list;
    }();
    return words;
}

}  // namespace

void Checks::check_line(std::size_t i) {
    std::string_view line = text(i);
    if (is_ignored_line(line)) {
        if (line.front() == '(' && line.back() == ')') {
            warn(i, code_column(i), Warning::paren_no_dot,
                 "a parenthesised line without '.' is ignored; an assignment is written '(target. "
                 "expression)'");
        }
        return;
    }
    if (is_definition(i))
        return;
    StatementKind kind = classify_statement(line);
    if (check_glued_word(i, kind))
        return;
    check_typos(i, kind);
    check_quoted_comma(i, kind, program_, [&](std::size_t column, std::string message) {
        warn(i, column, Warning::quoted_comma, std::move(message), column);
    });
    // `if x` with only an `els` block is how "unless x" is written
    bool else_follows =
        i + 1 < lines_.size() && lines_[i + 1].level == lines_[i].level && text(i + 1) == "els";
    if ((kind == StatementKind::conditional || kind == StatementKind::loop ||
         kind == StatementKind::bare_else) &&
        ends_[i] == i && !(kind == StatementKind::conditional && else_follows)) {
        warn(i, code_column(i), Warning::empty_block,
             "nothing is indented under this '" + std::string(statement_word(kind)) +
                 "', so its block is empty");
    }
    if (kind == StatementKind::return_value)
        check_after_return(i);
}

std::string glued_reading(std::string_view line, StatementKind kind) {
    switch (kind) {
        case StatementKind::input:
            return "an input statement into '" + std::string(line.substr(statement_word(kind).size())) + "'";
        case StatementKind::loop:
            return "a loop";
        case StatementKind::display:
            return "a display command";
        case StatementKind::port_output:
            return "a port output";
        case StatementKind::print_with_wait:
            return "a print with wait";
        default:
            return {};
    }
}

// `in`, `echow`, `vga` and `pout` need no blank after them, and `lo`
// none before its count: true when the line was reported, or stands for a
// call of a function that such a word takes over (prefix-name).
bool Checks::check_glued_word(std::size_t i, StatementKind kind) {
    std::string_view line = text(i);
    std::string_view word = statement_word(kind);
    std::string what = glued_reading(line, kind);
    if (what.empty() || line.size() <= word.size() || !is_identifier_byte(line[word.size()]))
        return false;
    if (kind == StatementKind::loop && is_digit(line[word.size()])) {
        // `lo5` meant as giving 5 to `lo`: a loop with nothing under it,
        // and nothing indented a little under it either
        if (ends_[i] != i || line.find_first_not_of("0123456789", 2) != std::string_view::npos ||
            (i + 1 < lines_.size() && lines_[i + 1].file == lines_[i].file &&
             columns_of(indentation(i + 1)) > columns_of(indentation(i)))) {
            return false;
        }
        warn(i, code_column(i), Warning::prefix_word,
             "'" + std::string(line) + "' is read as a loop with nothing under it, not as giving " +
                 std::string(line.substr(2)) + " to a variable 'lo': a line that starts with 'lo' is a loop");
        return true;
    }
    std::string_view glued = line.substr(0, line.find_first_of(" \t(\","));
    if (line.size() > glued.size() && line[glued.size()] == '(' && definition_named(glued)) {
        explained_functions_.emplace(glued);  // the call the word took over
        return true;
    }
    warn(i, code_column(i), Warning::prefix_word,
         "'" + std::string(glued) + "' is read as " + what + ": a line that starts with '" + std::string(word) +
             "' is that statement" +
             (kind == StatementKind::loop ? ", which needs its count right after 'lo'" : "") +
             "; separate the word with a blank or choose another name",
         column_of(i, glued) + glued.size() - 1);
    return kind == StatementKind::loop;
}

// A slip that made a string assignment or an array shows in a name that
// nothing reads; a name that is read is meant as a variable.
void Checks::check_typos(std::size_t i, StatementKind kind) {
    std::string_view line = text(i);
    auto written = read_after_write_.find(i);
    if (written == read_after_write_.end() || written->second)
        return;
    const std::vector<std::string_view>& keywords = typo_words();
    if (kind == StatementKind::number_assignment) {
        // `echo5`, `rtn0`: the statement word glued to a number
        std::string_view name = line.substr(0, line.find_first_of("-0123456789"));
        if (std::find(keywords.begin(), keywords.end(), name) != keywords.end()) {
            warn(i, code_column(i), Warning::statement_typo,
                 "this assigns " + std::string(line.substr(name.size())) + " to the variable '" +
                     std::string(name) + "'; the statement is '" + std::string(name) +
                     "' followed by a blank");
            explained_lines_.insert(i);
        }
        return;
    }
    if (kind == StatementKind::string_assignment) {
        std::string_view name = trim(line.substr(0, line.find('"')));
        bool spaced = is_blank(line[line.find('"') - 1]);
        static constexpr std::string_view foreign[] = {"print", "println", "printf", "puts"};
        for (std::string_view word : keywords) {
            if (name == word || (spaced && word.size() >= 3 && looks_like(name, word))) {
                warn(i, code_column(i), Warning::statement_typo,
                     "this assigns a string to the variable '" + std::string(name) + "'; the statement is '" +
                         std::string(word) + "' followed by a blank");
                explained_lines_.insert(i);
                return;
            }
        }
        for (std::string_view word : foreign) {
            if (spaced && equal_ignoring_case(name, word)) {
                warn(i, code_column(i), Warning::statement_typo,
                     "this assigns a string to the variable '" + std::string(name) +
                         "'; to print, write 'echo' followed by a blank");
                explained_lines_.insert(i);
                return;
            }
        }
        return;
    }
    if (kind != StatementKind::call_or_array)
        return;
    std::string_view name = trim(line.substr(0, line.find('(')));
    if (find_chunk(program_, name))
        return;
    for (const Chunk& chunk : program_.chunks) {
        if (chunk.name != top_chunk_name && looks_like(name, chunk.name)) {
            warn(i, code_column(i), Warning::call_typo,
                 "no function is named '" + std::string(name) +
                     "', so this creates an array; did you mean '" + std::string(chunk.name) + "'?",
                 column_of(i, name) + name.size() - 1, std::string(chunk.name));
            explained_lines_.insert(i);
            explained_functions_.emplace(chunk.name);
            return;
        }
    }
}

// Within the same block, the next statement after `rtn` never runs.
void Checks::check_after_return(std::size_t i) {
    std::int32_t level = lines_[i].level;
    for (std::size_t j = ends_[i] + 1; j < lines_.size() && lines_[j].level == level; j = ends_[j] + 1) {
        if (skipped_[j])
            return;
        if (is_statement(j)) {
            warn(j, code_column(j), Warning::unreachable,
                 "this line never runs: it follows 'rtn' on line " + std::to_string(lines_[i].number) +
                     " in the same block");
            return;
        }
    }
}

void Checks::check_quoted_comma(std::size_t i, StatementKind kind, const Program& program,
                                const Report& report) {
    std::string_view line = text(i);
    bool all = true;
    auto part = split_part(program, line, kind, all);
    if (!part)
        return;
    std::size_t comma = quoted_comma(*part, all);
    if (comma == std::string_view::npos)
        return;
    std::size_t column = static_cast<std::size_t>(part->data() + comma - line.data()) + code_column(i);
    report(column,
           "this comma inside quotes splits the argument: commas separate arguments even inside a string");
}

}  // namespace oxel::lint
