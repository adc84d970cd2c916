// The checks over one recorded compilation (Recorder) and, when it
// compiled, its program image. Built by check_program for one run and
// thrown away; it borrows the records and the program, and owns only the
// findings it gathers. The checks are grouped in layout_checks.cpp (the
// file's shape, variables and functions) and line_checks.cpp (each line's
// statement); failure_hints.cpp explains a compile error.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/error_report.h"
#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "image/program.h"
#include "lint/lint.h"
#include "lint/recorder.h"
#include "lint/warnings.h"

namespace oxel::lint {

class Checks {
public:
    Checks(const Recorder& recorded, const Program& program);

    // Every check; the findings in the order they were made.
    std::vector<Finding> run();

protected:
    std::string_view text(std::size_t i) const {
        const Line& line = lines_[i];
        return std::string_view(files_[line.file].text).substr(line.code, line.length);
    }
    std::string_view raw(std::size_t i) const {
        const Line& line = lines_[i];
        return std::string_view(files_[line.file].text).substr(line.start, line.end - line.start);
    }
    std::size_t code_column(std::size_t i) const { return lines_[i].code - lines_[i].start + 1; }

    // Adds the finding unless the line's comment silences the warning. It
    // spans column..last_column; without a last column, the word (up to a
    // blank) that starts at `column`. `fix`, when certain, replaces the span.
    void warn(std::size_t i, std::size_t column, Warning warning, std::string message,
              std::size_t last_column = 0, std::string fix = {});
    // The column of a view into the line's stored text.
    std::size_t column_of(std::size_t i, std::string_view part) const {
        return static_cast<std::size_t>(part.data() - text(i).data()) + code_column(i);
    }

    // The blanks before the line's code; carriage returns there are trimmed,
    // not indentation.
    std::string_view indentation(std::size_t i) const {
        std::string_view indent = raw(i).substr(0, lines_[i].code - lines_[i].start);
        return indent.substr(0, indent.find_first_not_of(" \t"));
    }
    static std::size_t columns_of(std::string_view indent) {
        std::size_t columns = 0;
        for (char c : indent)
            columns += c == '\t' ? indent_columns : 1;
        return columns;
    }

    bool is_definition(std::size_t i) const {
        return text(i).starts_with(statement_word(StatementKind::definition));
    }
    bool is_statement(std::size_t i) const { return !is_ignored_line(text(i)) && !is_definition(i); }

    // A level-0 `oxelfn` line, read as the function pass reads it.
    struct Definition {
        std::size_t line;
        std::string_view name;  // a view into the line's text
        std::vector<std::string> params;
    };
    std::vector<Definition> read_definitions() const;
    const Definition* definition_named(std::string_view name) const;
    std::vector<std::string> function_names() const;
    // For each line, the definition line whose body holds it; lines_.size()
    // for the top level.
    std::vector<std::size_t> find_bodies() const;
    // The names a line can read where it stands: the parameters of its
    // function and the variables written on its line or before, in its body.
    std::vector<std::string> known_variables(std::size_t i) const;

    // The file's shape, variables and functions (layout_checks.cpp).
    void check_layout();
    void find_skipped_lines();
    void check_variables();
    void check_functions();
    // A function that a statement word or an assignment form takes over.
    // Without a compiled program only the statement words are known.
    void check_prefix_name(const Definition& definition, bool with_program);

    // Each line's statement (line_checks.cpp).
    void check_line(std::size_t i);
    bool check_glued_word(std::size_t i, StatementKind kind);
    void check_typos(std::size_t i, StatementKind kind);
    void check_after_return(std::size_t i);
    bool check_byte_order_mark(std::size_t i);

    // The cause of a compile error on line i (failure_causes.cpp).
    void explain_failure(std::size_t i, const Failure& failure);
    bool check_foreign_word(std::size_t i);
    bool check_operator_statement(std::size_t i);
    bool check_glued_function(std::size_t i);
    void explain_undefined(std::size_t i, StatementKind kind, const SourceRange& where);
    bool check_quoted_operator(std::size_t i, std::string_view written);
    bool check_exponent(std::size_t i, std::string_view written);
    bool check_operator_blanks(std::size_t i, std::string_view written);
    bool check_operator_in_name(std::size_t i, StatementKind kind, std::string_view written);
    bool check_unknown_name(std::size_t i, StatementKind kind, std::string_view written);
    // Also used for the line of a compile error, where there is no program
    // beyond what was recorded.
    using Report = std::function<void(std::size_t column, std::string message)>;
    void check_quoted_comma(std::size_t i, StatementKind kind, const Program& program, const Report& report);

    const std::vector<FileCopy>& files_;
    const std::vector<Line>& lines_;
    const BlockEnds& ends_;
    const std::unordered_map<std::size_t, ChunkUse>& chunks_;
    const Program& program_;
    std::vector<Definition> definitions_;  // in line order
    std::vector<std::size_t> bodies_;      // find_bodies
    std::vector<bool> skipped_;
    std::unordered_map<std::size_t, bool> read_after_write_;  // line: whether its chunk reads what it wrote
    std::vector<Finding> findings_;
    // One slip, one warning: the lines whose write a slip explains, and the
    // functions a misspelt call was meant for.
    std::unordered_set<std::size_t> explained_lines_;
    std::unordered_set<std::string> explained_functions_;
};

// A UTF-8 byte-order mark, which the compiler reads as part of the first line.
inline constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
inline constexpr std::string_view byte_order_mark_message =
    "the file starts with a UTF-8 byte-order mark, which is read as part of this line; save the file without it";

// What a line whose statement word is glued to a name is read as ("a loop",
// "an input statement into 'dex5'"); empty for the kinds no glued word makes.
std::string glued_reading(std::string_view line, StatementKind kind);

// Findings in file order (main file first, headers as taken in), then line
// and column.
void sort_in_file_order(std::vector<Finding>& findings, const std::vector<FileCopy>& files);

// The compile error as a finding, with the warnings that explain it
// (failure_hints.cpp). `main_path` names the main file.
std::vector<Finding> report_failure(const Recorder& recorded, const Failure& failure,
                                    std::string_view main_path);

}  // namespace oxel::lint
