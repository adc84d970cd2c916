// The run sequence behind the command line: arguments, the main file, the
// compiler, then the listing or the machine. Returns the exit status; the
// one error report is written here and nowhere else.
#pragma once

#include <span>
#include <string_view>

#include "compiler/program_structure.h"  // main_file_limit
#include "image/program.h"

namespace oxel {

// OXEL_VERSION comes from the project version in CMakeLists.txt.
inline constexpr std::string_view version_line = "oxelc " OXEL_VERSION "\n";
inline constexpr std::string_view usage_line = "Usage: oxelc [--dump] <file.ox>\n";

// `arguments` excludes the program name. Exhausted memory escapes as
// std::bad_alloc, for main to end the process.
int run_command_line(std::span<const std::string_view> arguments);

// The main() of oxelc and of the tools that run programs as it does: the
// standard streams made safe first, then `command_line` with the arguments
// after the program name; exhausted memory ends it as oxelc reports it.
int run_main(int argc, char** argv, int (*command_line)(std::span<const std::string_view>));

struct CompileObserver;

// What runs a compiled program: oxelc's own run, or a tool's (oxel-prof).
// `run` may throw Failure, reported as oxelc reports it.
struct ProgramRunner {
    virtual ~ProgramRunner() = default;
    // Watches the compilation, if the runner needs to (see compile_context.h).
    virtual CompileObserver* compile_observer() { return nullptr; }
    virtual void run(Program program) = 0;
};

// The main file at `path` read, compiled and given to `runner` exactly as
// oxelc does it: the same limits, the one error report (with the call chain
// under OXEL_BACKTRACE=1) and the exit status, which it returns.
int run_main_file(std::string_view path, ProgramRunner& runner);

}  // namespace oxel
