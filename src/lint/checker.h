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
    // blank) that starts at `column`.
    void warn(std::size_t i, std::size_t column, Warning warning, std::string message,
              std::size_t last_column = 0);

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

    // The file's shape, variables and functions (layout_checks.cpp).
    void check_layout();
    void find_skipped_lines();
    void check_variables();
    void check_functions();

    // Each line's statement (line_checks.cpp).
    void check_line(std::size_t i);
    bool check_glued_word(std::size_t i, StatementKind kind);
    void check_typos(std::size_t i, StatementKind kind);
    void check_after_return(std::size_t i);
    // Also used for the line of a compile error, where there is no program
    // beyond what was recorded.
    using Report = std::function<void(std::size_t column, std::string message)>;
    void check_quoted_comma(std::size_t i, StatementKind kind, const Program& program, const Report& report);

    const std::vector<FileCopy>& files_;
    const std::vector<Line>& lines_;
    const BlockEnds& ends_;
    const std::unordered_map<std::size_t, ChunkUse>& chunks_;
    const Program& program_;
    std::vector<bool> skipped_;
    std::unordered_map<std::size_t, bool> read_after_write_;  // line: whether its chunk reads what it wrote
    std::vector<Finding> findings_;
};

// The compile error as a finding, with the warnings that explain it
// (failure_hints.cpp). `main_path` names the main file.
std::vector<Finding> report_failure(const Recorder& recorded, const Failure& failure,
                                    std::string_view main_path);

}  // namespace oxel::lint
