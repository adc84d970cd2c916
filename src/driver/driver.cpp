#include "driver/driver.h"

#include <new>
#include <string>
#include <vector>

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

// oxelc's run: the listing, or the machine.
struct PlainRunner : ProgramRunner {
    bool dump = false;
    void run(Program program) override {
        if (dump)
            dump_program(program);
        else
            oxel::run(std::move(program));
    }
};

}  // namespace

int run_command_line(std::span<const std::string_view> arguments) {
    PlainRunner runner;
    std::string_view path;
    for (std::string_view argument : arguments) {
        if (argument == "--dump") {
            runner.dump = true;
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
    return run_main_file(path, runner);
}

int run_main(int argc, char** argv, int (*command_line)(std::span<const std::string_view>)) {
    // Before anything opens a file: otherwise a closed standard stream lends
    // its number to the first file opened.
    if (!platform::open_missing_standard_streams())
        return 1;
    platform::ignore_broken_pipe();
    try {
        std::vector<std::string_view> arguments(argv + 1, argv + argc);
        return command_line(arguments);
    } catch (const std::bad_alloc&) {
        platform::write_stderr("error: OutOfMemory\n");
        return 1;
    }
}

int run_main_file(std::string_view path, ProgramRunner& runner) {
    UnreadInputGiveBack give_back;
    try {
        // Compiling allocates in proportion to the text, which mostly lives
        // until exit: the allocator hears of it before the text is read.
        if (const auto size = platform::file_size(path); size && *size < main_file_limit)
            platform::expect_allocations(static_cast<std::size_t>(*size) * compile_bytes_per_source_byte);
        auto text = platform::read_whole_file(path, main_file_limit);
        if (!text)
            report_error(FailureKind::cannot_open_main, "'" + std::string(path) + "'",
                         SourceRange{std::string(path), 1, 0, 0});
        runner.run(compile_program(std::move(*text), path, runner.compile_observer()));
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
