// Warnings that explain a compile error, and the error as a finding: the
// file and line it stands in, with its source.
#include "compiler/text_rules.h"
#include "lint/checker.h"

namespace oxel::lint {

namespace {

// The checks, and the hints they give for a compile error.
class Checker : public Checks {
public:
    using Checks::Checks;

    // Warnings that explain a compile error: a comma inside quotes on the
    // failing line, and for an undefined name, the earlier line where a
    // statement word swallowed it ("inword0" before "echo inword").
    std::vector<Finding> failure_hints(std::string_view path, const Failure& failure) {
        skipped_.assign(lines_.size(), false);
        std::size_t failing = lines_.size();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (files_[lines_[i].file].path == path && lines_[i].number == failure.line) {
                failing = i;
                break;
            }
        }
        if (failing == lines_.size() || !is_statement(failing))
            return {};
        check_quoted_comma(failing, classify_statement(text(failing)), program_,
                           [&](std::size_t column, std::string message) {
                               warn(failing, column, "quoted-comma", std::move(message));
                           });
        constexpr std::string_view undefined = "Undefined variable '";
        if (failure.message.starts_with(undefined) && failure.message.ends_with('\'')) {
            std::string_view name = std::string_view(failure.message).substr(undefined.size());
            name.remove_suffix(1);
            for (std::size_t i = 0; i < failing; ++i) {
                if (!name.empty() && text(i).starts_with(name) && is_statement(i))
                    check_glued_word(i, classify_statement(text(i)));
            }
        }
        return std::move(findings_);
    }
};

// The line of the file with the number, without its line end.
std::string_view line_by_number(std::string_view text, std::uint32_t number) {
    std::size_t start = 0;
    for (std::uint32_t n = 1; n < number; ++n) {
        std::size_t feed = text.find('\n', start);
        if (feed == std::string_view::npos)
            return {};
        start = feed + 1;
    }
    std::string_view line = text.substr(start, text.find('\n', start) - start);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

}  // namespace

std::vector<Finding> report_failure(const Recorder& recorded, const Failure& failure,
                                    std::string_view main_path) {
    // The compiler names the file only inside function bodies; elsewhere the
    // line is the main file's, or a header's for errors in the header passes.
    std::string path = failure.file.empty() ? std::string(main_path) : failure.file;
    constexpr std::string_view in_header = "Only oxelfn definitions allowed in header '";
    const std::string& message = failure.message;
    if (message.starts_with(in_header)) {
        path = message.substr(in_header.size(), message.size() - in_header.size() - 1);
    } else if (failure.file.empty()) {
        // Errors of the include and function passes may stand in a header:
        // the include line that names the header, or the definition that
        // holds the quoted name.
        std::size_t open = message.find('\'');
        std::string_view quoted;
        if (open != std::string::npos && message.back() == '\'')
            quoted = std::string_view(message).substr(open + 1, message.size() - open - 2);
        bool include = message.starts_with("Cannot open header '");
        bool definition =
            message.starts_with("Bad function name '") || message.starts_with("Bad param name '");
        // the include pass fails before the lines are recorded: look at the files
        for (const FileCopy& file : recorded.files) {
            std::string_view text = trim(line_by_number(file.text, failure.line));
            std::size_t oxh = text.find(".oxh");
            if (include && oxh != std::string_view::npos && quoted.ends_with(text.substr(0, oxh + 4))) {
                path = file.path;
                break;
            }
        }
        for (const Line& line : recorded.lines) {
            std::string_view text =
                std::string_view(recorded.files[line.file].text).substr(line.code, line.length);
            if (definition && line.number == failure.line && line.level == 0 && text.starts_with("oxelfn") &&
                text.find(quoted) != std::string_view::npos) {
                path = recorded.files[line.file].path;
                break;
            }
        }
    }
    std::string_view source;
    for (const FileCopy& file : recorded.files) {
        if (file.path == path)
            source = line_by_number(file.text, failure.line);
    }
    std::size_t first = source.find_first_not_of(" \t");
    std::uint32_t column = first == std::string_view::npos ? 1 : static_cast<std::uint32_t>(first + 1);
    std::vector<Finding> findings;
    findings.push_back(
        Finding{Severity::error, path, failure.line, column, "", failure.message, std::string(source)});

    Program empty;  // the failed compilation left none
    std::vector<Finding> hints = Checker(recorded, empty).failure_hints(path, failure);
    findings.insert(findings.end(), hints.begin(), hints.end());
    return findings;
}

}  // namespace oxel::lint
