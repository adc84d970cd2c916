// oxel-lint's command line: options, the files, the report and the status.
#include <set>
#include <tuple>

#include "base/platform.h"
#include "lint/command_line.h"
#include "lint/lint.h"

namespace oxel::lint {

namespace {

bool known(std::string_view names) {
    for (;;) {
        std::size_t comma = names.find(',');
        if (!is_warning_name(names.substr(0, comma)))
            return false;
        if (comma == std::string_view::npos)
            return true;
        names.remove_prefix(comma + 1);
    }
}

bool disabled(const std::vector<std::string_view>& lists, std::string_view name) {
    for (std::string_view names : lists) {
        for (;;) {
            std::size_t comma = names.find(',');
            if (names.substr(0, comma) == name)
                return true;
            if (comma == std::string_view::npos)
                break;
            names.remove_prefix(comma + 1);
        }
    }
    return false;
}

int usage(std::string_view problem) {
    if (!problem.empty())
        platform::write_stderr("oxel-lint: " + std::string(problem) + "\n");
    platform::write_stderr(usage_text);
    return 2;
}

}  // namespace

int run_command_line(std::span<const std::string_view> arguments) {
    bool json = false;
    std::vector<std::string_view> disable;
    std::vector<std::string_view> paths;
    bool only_paths = false;
    for (std::string_view argument : arguments) {
        if (only_paths || !argument.starts_with("-") || argument == "-") {
            paths.push_back(argument);
        } else if (argument == "--") {
            only_paths = true;
        } else if (argument == "--version") {
            platform::write_stdout(version_text);
            return 0;
        } else if (argument == "--help") {
            platform::write_stdout(std::string(usage_text) + std::string(help_text));
            return 0;
        } else if (argument == "--list") {
            std::string out;
            for (const WarningInfo& warning : warnings)
                out += std::string(warning.name) + "\t" + std::string(warning.summary) + "\n";
            platform::write_stdout(out);
            return 0;
        } else if (argument == "--format=json") {
            json = true;
        } else if (argument == "--format=text") {
            json = false;
        } else if (argument.starts_with("--disable=")) {
            std::string_view names = argument.substr(10);
            if (!known(names))
                return usage("unknown warning in '" + std::string(argument) + "' (--list names them)");
            disable.push_back(names);
        } else {
            return usage("unknown option '" + std::string(argument) + "'");
        }
    }
    if (paths.empty())
        return usage("");

    int status = 0;
    std::vector<Finding> all;
    // a header shared by several programs is reported once
    std::set<std::tuple<std::string, std::uint32_t, std::uint32_t, std::string, std::string>> seen;
    for (std::string_view path : paths) {
        if (path.ends_with(".oxh")) {
            platform::write_stderr("oxel-lint: '" + std::string(path) +
                                   "' is a header: it is checked through the programs that include it\n");
            status = 2;
            continue;
        }
        auto text = platform::read_whole_file(path, main_file_limit);
        if (!text) {
            platform::write_stderr("oxel-lint: cannot read '" + std::string(path) + "'\n");
            status = 2;
            continue;
        }
        for (Finding& finding : check_program(std::move(*text), path)) {
            if (finding.severity == Severity::warning && disabled(disable, finding.name))
                continue;
            if (!seen.emplace(finding.path, finding.line, finding.column, finding.name, finding.message)
                     .second)
                continue;
            if (!json)
                platform::write_stdout(format_text(finding));
            all.push_back(std::move(finding));
        }
    }
    if (json)
        platform::write_stdout(format_json(all));
    if (status == 0 && !all.empty())
        status = 1;
    return status;
}

}  // namespace oxel::lint
