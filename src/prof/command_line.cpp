// oxel-prof's command line: the options, the profiled run, the reports.
#include "prof/command_line.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "compiler/debug_info_recorder.h"
#include "driver/driver.h"
#include "prof/profiler.h"
#include "prof/summary.h"

namespace oxel::prof {

namespace {

int usage(std::string_view problem) {
    platform::write_stderr("oxel-prof: " + std::string(problem) + "\n");
    platform::write_stderr(usage_text);
    return 2;
}

// The driver's run, on the observed machine under the profiler.
class ProfilingRunner : public ProgramRunner {
public:
    CompileObserver* compile_observer() override { return &recorder_; }
    void run(Program program) override {
        machine_ = std::make_unique<Machine>(std::move(program), recorder_.take());
        profiler_ = std::make_unique<Profiler>(*machine_);
        struct Finish {
            Profiler& profiler;
            ~Finish() { profiler.finish(); }
        } finish{*profiler_};
        machine_->run(*profiler_);
    }
    // Empty when the run did not begin (the program did not compile).
    Summary summary() const { return profiler_ ? summarize(*machine_, profiler_->profile()) : Summary{}; }
    const Program& program() const { return machine_ ? machine_->program : no_program_; }

private:
    DebugInfoRecorder recorder_;
    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Profiler> profiler_;
    Program no_program_;
};

enum class Output { report, json, folded, svg };

struct Destination {
    Output output;
    std::string_view path;
    std::optional<platform::FileHandle> file;
};

}  // namespace

int run_command_line(std::span<const std::string_view> arguments) {
    std::vector<Destination> destinations;
    std::string_view program_path;
    static constexpr std::pair<std::string_view, Output> options[] = {
        {"--report", Output::report}, {"--json", Output::json}, {"--folded", Output::folded}, {"--svg", Output::svg}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        bool taken = false;
        for (const auto& [name, output] : options) {
            if (argument != name)
                continue;
            if (i + 1 == arguments.size())
                return usage("'" + std::string(name) + "' needs a file");
            destinations.push_back(Destination{output, arguments[++i], std::nullopt});
            taken = true;
        }
        if (taken)
            continue;
        if (argument == "--version") {
            platform::write_stdout(version_text);
            return 0;
        }
        if (argument == "--help") {
            platform::write_stdout(usage_text, help_text);
            return 0;
        }
        if (argument == "--" && i + 1 < arguments.size())
            ++i;
        else if (argument.starts_with("-") && argument.size() > 1)
            return usage("unknown option '" + std::string(argument) + "'");
        if (!program_path.empty())
            return usage("one program at a time");
        program_path = arguments[i];
    }
    if (program_path.empty())
        return usage("no program");

    // Every report file is created before the run, so that a wrong path
    // stops the tool before the program does anything.
    for (Destination& destination : destinations) {
        destination.file = platform::create_for_writing(destination.path);
        if (!destination.file) {
            platform::write_stderr("oxel-prof: cannot create '" + std::string(destination.path) + "'\n");
            for (const Destination& opened : destinations)
                if (opened.file)
                    platform::close_file(*opened.file);
            return 2;
        }
    }

    ProfilingRunner runner;
    int status = 0;
    try {
        status = run_main_file(program_path, runner);
    } catch (const std::bad_alloc&) {
        // As oxelc ends on exhausted memory; the profile so far is still written.
        platform::write_stderr("error: OutOfMemory\n");
        status = 1;
    }

    const Summary summary = runner.summary();
    bool table_to_stderr = true;
    bool written = true;
    for (const Destination& destination : destinations) {
        std::string text;
        switch (destination.output) {
            case Output::report:
                text = format_table(summary, runner.program());
                table_to_stderr = false;
                break;
            case Output::json:
                text = format_json(summary);
                break;
            case Output::folded:
                text = format_folded(summary);
                break;
            case Output::svg:
                text = format_flame_graph(summary, program_path);
                break;
        }
        if (!platform::write_file(*destination.file, text)) {
            platform::write_stderr("oxel-prof: cannot write '" + std::string(destination.path) + "'\n");
            written = false;
        }
        platform::close_file(*destination.file);
    }
    if (table_to_stderr)
        platform::write_stderr(format_table(summary, runner.program()));
    return written ? status : 2;
}

}  // namespace oxel::prof
