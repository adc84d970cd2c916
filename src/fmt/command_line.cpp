// oxel-fmt's command line: options, the files, the status.
#include "fmt/command_line.h"

#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "compiler/program_structure.h"  // main_file_limit
#include "fmt/format.h"

namespace oxel::fmt {

namespace {

int usage(std::string_view problem) {
    platform::write_stderr("oxel-fmt: " + std::string(problem) + "\n");
    platform::write_stderr(usage_text);
    return 2;
}

std::optional<std::string> read_stdin() {
    std::string text;
    while (std::optional<unsigned char> byte = platform::read_stdin_byte()) {
        if (text.size() + 1 >= main_file_limit)
            return std::nullopt;
        text += static_cast<char>(*byte);
    }
    return text;
}

// The report of a file that is left alone.
void refused(std::string_view path, const Checked& checked) {
    std::string report = checked.message;
    if (!report.empty() && report.back() != '\n')
        report += '\n';
    if (checked.outcome == Outcome::internal_error)
        platform::write_stderr("oxel-fmt: internal error: '" + std::string(path) + "' left alone: " + report);
    else
        platform::write_stderr("oxel-fmt: '" + std::string(path) + "' does not compile, left alone:\n" + report);
}

}  // namespace

int run_command_line(std::span<const std::string_view> arguments) {
    bool check = false;
    bool only_paths = false;
    std::vector<std::string_view> paths;
    for (std::string_view argument : arguments) {
        if (only_paths || !argument.starts_with("-")) {
            paths.push_back(argument);
        } else if (argument == "--") {
            only_paths = true;
        } else if (argument == "--version") {
            platform::write_stdout(version_text);
            return 0;
        } else if (argument == "--help") {
            platform::write_stdout(usage_text, help_text);
            return 0;
        } else if (argument == "--check") {
            check = true;
        } else {
            return usage("unknown option '" + std::string(argument) + "'");
        }
    }

    if (paths.empty()) {
        std::optional<std::string> text = read_stdin();
        if (!text) {
            platform::write_stderr("oxel-fmt: standard input is too long\n");
            return 2;
        }
        Checked checked = format_checked(*text, "<stdin>");
        if (checked.outcome == Outcome::compile_error || checked.outcome == Outcome::internal_error) {
            refused("<stdin>", checked);
            if (!check)
                platform::write_stdout(*text);
            return 2;
        }
        if (check)
            return checked.outcome == Outcome::changed ? 1 : 0;
        platform::write_stdout(checked.outcome == Outcome::changed ? checked.formatted : *text);
        return 0;
    }

    bool failed = false;
    bool would_change = false;
    for (std::string_view path : paths) {
        if (path.ends_with(".oxh")) {
            platform::write_stderr("oxel-fmt: '" + std::string(path) +
                                   "' is a header: left alone (a header does not compile by itself)\n");
            continue;
        }
        std::optional<std::string> text = platform::read_whole_file(path, main_file_limit);
        if (!text) {
            platform::write_stderr("oxel-fmt: cannot read '" + std::string(path) + "'\n");
            failed = true;
            continue;
        }
        Checked checked = format_checked(*text, path);
        if (checked.outcome == Outcome::compile_error || checked.outcome == Outcome::internal_error) {
            refused(path, checked);
            failed = true;
            continue;
        }
        if (checked.outcome == Outcome::unchanged)
            continue;
        if (check) {
            platform::write_stdout(std::string(path) + "\n");
            would_change = true;
        } else if (!platform::write_whole_file(path, checked.formatted)) {
            platform::write_stderr("oxel-fmt: cannot write '" + std::string(path) + "'\n");
            failed = true;
        }
    }
    if (failed)
        return 2;
    return would_change ? 1 : 0;
}

}  // namespace oxel::fmt
