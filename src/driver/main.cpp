#include <new>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "driver/driver.h"

int main(int argc, char** argv) {
    // Before anything opens a file: otherwise a closed standard stream lends
    // its number to the first file opened.
    if (!oxel::platform::open_missing_standard_streams())
        return 1;
    oxel::platform::ignore_broken_pipe();
    try {
        std::vector<std::string_view> arguments(argv + 1, argv + argc);
        return oxel::run_command_line(arguments);
    } catch (const std::bad_alloc&) {
        oxel::platform::write_stderr("error: OutOfMemory\n");
        return 1;
    }
}
