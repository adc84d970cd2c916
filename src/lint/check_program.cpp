// The checker's entry. The program is compiled once with an observer
// (recorder.h) that records the files, the stored lines and every variable
// written or read, per chunk; the checks (checker.h) then look at those
// records, the program image and the statement kinds, never at a reading of
// their own. A compile error is reported with its hints (failure_hints.cpp).
// Findings are put in file, line and column order here.
#include <algorithm>
#include <optional>
#include <tuple>

#include "compiler/program_structure.h"
#include "compiler/text_rules.h"
#include "lint/checker.h"

namespace oxel::lint {

namespace {

// The silencing comment after the stored text, if the compiler cut one off:
// `cmt lint-ignore` (every warning) or `cmt lint-ignore=a,b`, either followed
// by anything. Only a comment the compiler removed can silence, so adding one
// never changes what the line does.
bool silenced(std::string_view comment, std::string_view name) {
    comment = trim(comment);
    if (!comment.starts_with(comment_word))
        return false;
    comment = trim(comment.substr(comment_word.size()));
    constexpr std::string_view word = "lint-ignore";
    if (!comment.starts_with(word))
        return false;
    comment.remove_prefix(word.size());
    if (comment.empty() || is_blank(comment[0]))
        return true;
    if (comment[0] != '=')
        return false;
    comment.remove_prefix(1);
    // the list ends at the first byte that is no part of a name or a comma
    comment = comment.substr(0, comment.find_first_not_of("abcdefghijklmnopqrstuvwxyz-,"));
    for (;;) {
        std::size_t comma = comment.find(',');
        if (comment.substr(0, comma) == name)
            return true;
        if (comma == std::string_view::npos)
            return false;
        comment.remove_prefix(comma + 1);
    }
}

}  // namespace

Checks::Checks(const Recorder& recorded, const Program& program)
    : files_(recorded.files),
      lines_(recorded.lines),
      ends_(recorded.ends),
      chunks_(recorded.chunks),
      program_(program),
      definitions_(read_definitions()),
      bodies_(find_bodies()) {
    for (const auto& [chunk, use] : chunks_) {
        for (const Write& write : use.writes)
            read_after_write_[write.line] = use.reads.contains(write.name);
    }
}

std::vector<Finding> Checks::run() {
    check_layout();
    find_skipped_lines();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!skipped_[i])
            check_line(i);
    }
    check_variables();
    check_functions();
    return std::move(findings_);
}

void Checks::warn(std::size_t i, std::size_t column, Warning warning, std::string message,
                  std::size_t last_column, std::string fix) {
    const Line& line = lines_[i];
    std::string_view name = warning_name(warning);
    std::string_view comment = std::string_view(files_[line.file].text)
                                   .substr(line.code + line.length, line.end - line.code - line.length);
    if (silenced(comment, name))
        return;
    std::string_view source = raw(i);
    if (last_column < column) {
        std::size_t blank = source.find_first_of(" \t", column - 1);
        last_column = std::max(column, std::min(blank, source.size()));
    }
    findings_.push_back(Finding{Severity::warning, files_[line.file].path, line.number,
                                static_cast<std::uint32_t>(column), std::string(name), std::move(message),
                                std::string(source), static_cast<std::uint32_t>(last_column), std::move(fix)});
}

const std::span<const WarningInfo> warnings{warning_table};

bool is_warning_name(std::string_view name) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const WarningInfo& w) { return w.name == name; });
}

std::vector<Finding> check_program(std::string text, std::string_view path) {
    Recorder recorded;
    std::optional<Program> program;
    try {
        program = compile_program(std::move(text), path, &recorded);
    } catch (const Failure& failure) {
        return report_failure(recorded, failure, path);
    }
    std::vector<Finding> findings = Checks(recorded, *program).run();
    sort_in_file_order(findings, recorded.files);
    return findings;
}

void sort_in_file_order(std::vector<Finding>& findings, const std::vector<FileCopy>& files) {
    auto file_of = [&](const Finding& f) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].path == f.path)
                return i;
        }
        return files.size();
    };
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
        return std::tuple(file_of(a), a.line, a.column) < std::tuple(file_of(b), b.line, b.column);
    });
}

}  // namespace oxel::lint
