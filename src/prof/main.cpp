// oxel-prof: runs an Oxel program and reports where its time went (see
// command_line.h).
#include <new>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "prof/command_line.h"

int main(int argc, char** argv) {
    // As oxelc: before anything opens a file, a closed standard stream is
    // given a stand-in, or the first file opened would take its number.
    if (!oxel::platform::open_missing_standard_streams())
        return 1;
    oxel::platform::ignore_broken_pipe();
    try {
        std::vector<std::string_view> arguments(argv + 1, argv + argc);
        return oxel::prof::run_command_line(arguments);
    } catch (const std::bad_alloc&) {
        oxel::platform::write_stderr("error: OutOfMemory\n");
        return 1;
    }
}
