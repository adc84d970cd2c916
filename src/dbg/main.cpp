// oxel-dbg: the debugger, on the command line (console.h) or as a debug
// adapter for editors (--dap, adapter.h).
#include <new>
#include <string_view>

#include "base/platform.h"
#include "dbg/adapter.h"
#include "dbg/console.h"
#include "protocol/standard_input.h"

namespace {

constexpr std::string_view usage =
    "usage: oxel-dbg PROGRAM.ox | oxel-dbg --dap\n"
    "Runs an Oxel program under the debugger, reading commands from standard\n"
    "input (see oxel-dbg(1)), or speaks the Debug Adapter Protocol to an editor\n"
    "over standard input and output.\n"
    "  --help     print this and exit\n"
    "  --version  print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // As oxelc: before anything opens a file, a closed standard stream is
    // given a stand-in, or the first file opened would take its number.
    if (!oxel::platform::open_missing_standard_streams())
        return 1;
    oxel::platform::ignore_broken_pipe();
    const std::string_view first = argc == 2 ? argv[1] : "";
    if (first == "--help") {
        oxel::platform::write_stdout(usage);
        return 0;
    }
    if (first == "--version") {
        oxel::platform::write_stdout("oxel-dbg " OXEL_VERSION "\n");
        return 0;
    }
    if (argc != 2 || (first.starts_with("-") && first != "--dap")) {
        oxel::platform::write_stderr(std::string(usage));
        return 2;
    }
    oxel::protocol::StandardInput input;
    try {
        if (first == "--dap")
            return oxel::dbg::serve_adapter(input, [](std::string_view header, std::string_view body) {
                // The process's own standard output, whatever the program's console is.
                oxel::platform::os::write_stdout(header, body);
            });
        return oxel::dbg::run_console(first, input);
    } catch (const std::bad_alloc&) {
        oxel::platform::write_stderr("error: OutOfMemory\n");
        return 1;
    }
}
