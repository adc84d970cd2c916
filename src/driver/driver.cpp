#include "driver/driver.h"

#include <string>

#include "base/error_report.h"
#include "base/platform.h"
#include "compiler/program_structure.h"
#include "image/listing.h"
#include "machine/machine.h"

namespace oxel {

namespace {

// Standard input read ahead is given back however the run ends, exhausted
// memory included.
struct UnreadInputGiveBack {
    UnreadInputGiveBack() = default;
    ~UnreadInputGiveBack() { platform::give_back_unread_input(); }
    UnreadInputGiveBack(const UnreadInputGiveBack&) = delete;
    UnreadInputGiveBack& operator=(const UnreadInputGiveBack&) = delete;
};

}  // namespace

int run_command_line(std::span<const std::string_view> arguments) {
    bool dump = false;
    std::string_view path;
    for (std::string_view argument : arguments) {
        if (argument == "--dump") {
            dump = true;
        } else if (argument == "--version") {
            platform::write_stdout(version_line);
            return 0;
        } else {
            path = argument;  // any other text, dashes included; the last one wins
        }
    }
    if (path.empty()) {
        platform::write_stderr(usage_line);
        return 2;
    }

    UnreadInputGiveBack give_back;
    try {
        auto text = platform::read_whole_file(path, main_file_limit);
        if (!text)
            report_error(FailureKind::cannot_open_main, "'" + std::string(path) + "'",
                         SourceRange{std::string(path), 1, 0, 0});
        Program program = compile_program(std::move(*text), path);
        if (dump) {
            dump_program(program);
            return 0;
        }
        run(std::move(program));
        return 0;
    } catch (const Failure& failure) {
        std::string report = format_report(failure);
        // OXEL_BACKTRACE=1 adds the calls that led to a run-time failure.
        if (platform::environment_variable("OXEL_BACKTRACE") == "1")
            report += format_call_chain(failure);
        platform::write_stderr(report);
        return 1;
    }
}

}  // namespace oxel
