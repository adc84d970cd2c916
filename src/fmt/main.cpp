// oxel-fmt: lays out Oxel programs canonically (see command_line.h).
#include <new>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "fmt/command_line.h"

int main(int argc, char** argv) {
    oxel::platform::ignore_broken_pipe();
    try {
        std::vector<std::string_view> arguments(argv + 1, argv + argc);
        return oxel::fmt::run_command_line(arguments);
    } catch (const std::bad_alloc&) {
        oxel::platform::write_stderr("oxel-fmt: out of memory\n");
        return 2;
    }
}
