// Warnings that explain a compile error, and the error as a finding: the
// file and line it stands in, with its source.
#include <algorithm>

#include "compiler/text_rules.h"
#include "lint/checker.h"

namespace oxel::lint {

namespace {

// The checks, and the hints they give for a compile error.
class Checker : public Checks {
public:
    using Checks::Checks;

    // Warnings that explain a compile error: the indentation of every
    // line read, then on the failing line a comma inside quotes or else the
    // cause of the error (failure_causes.cpp).
    std::vector<Finding> failure_hints(std::string_view path, const Failure& failure) {
        skipped_.assign(lines_.size(), false);
        check_layout();
        std::size_t failing = lines_.size();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (files_[lines_[i].file].path == path && lines_[i].number == failure.where.line) {
                failing = i;
                break;
            }
        }
        // a byte-order mark, reported by the layout check, is the cause itself
        if (failing == lines_.size() || !is_statement(failing) ||
            (lines_[failing].start == 0 && raw(failing).starts_with(byte_order_mark)))
            return std::move(findings_);
        std::size_t before = findings_.size();
        check_quoted_comma(failing, classify_statement(text(failing)), program_,
                           [&](std::size_t column, std::string message) {
                               warn(failing, column, Warning::quoted_comma, std::move(message), column);
                           });
        if (findings_.size() == before)
            explain_failure(failing, failure);
        return std::move(findings_);
    }
};


}  // namespace

std::vector<Finding> report_failure(const Recorder& recorded, const Failure& failure,
                                    std::string_view main_path) {
    // The failure names the file its line is in, main file or header; a
    // file that cannot be opened names no line of its own.
    std::string path = failure.where.file.empty() ? std::string(main_path) : failure.where.file;
    std::string_view source;
    bool marked = false;  // the file starts with a byte-order mark
    for (const FileCopy& file : recorded.files) {
        if (file.path == path) {
            marked = std::string_view(file.text).starts_with(byte_order_mark);
            source = physical_line(file.text, failure.where.line);
            if (source.ends_with('\r'))
                source.remove_suffix(1);
        }
    }
    // the caret at the failure's first column; without one, at the line's first non-blank byte
    std::uint32_t column = failure.where.first_column;
    if (column == 0) {
        std::size_t first = source.find_first_not_of(" \t");
        column = first == std::string_view::npos ? 1 : static_cast<std::uint32_t>(first + 1);
    }
    // the range: the failure's own, or the rest of the line's text
    std::uint32_t last_column = failure.where.last_column;
    if (failure.where.first_column == 0 || last_column < column) {
        std::size_t last = source.find_last_not_of(" \t");
        last_column = std::max(column, last == std::string_view::npos ? column : static_cast<std::uint32_t>(last + 1));
    }
    std::vector<Finding> findings;
    findings.push_back(Finding{Severity::error, path, failure.where.line, column, "", failure.message,
                               std::string(source), last_column, "",
                               std::string(failure_name(failure.kind))});

    Program empty;  // the failed compilation left none
    std::vector<Finding> hints = Checker(recorded, empty).failure_hints(path, failure);
    // a header's first line fails before its lines are recorded
    if (marked && failure.where.line == 1 &&
        std::none_of(hints.begin(), hints.end(), [&](const Finding& f) { return f.path == path && f.line == 1; })) {
        hints.push_back(Finding{Severity::warning, path, 1, 1, std::string(warning_name(Warning::byte_order_mark)),
                                std::string(byte_order_mark_message), std::string(source),
                                static_cast<std::uint32_t>(byte_order_mark.size())});
    }
    sort_in_file_order(hints, recorded.files);
    findings.insert(findings.end(), hints.begin(), hints.end());
    return findings;
}

}  // namespace oxel::lint
