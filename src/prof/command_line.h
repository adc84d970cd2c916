// The command line of oxel-prof: runs one program exactly as oxelc runs it
// (its input, output, errors and exit status), then writes where its time
// went. Returns the program's exit status, or 2 for a usage error or a
// report file that cannot be written (the program is then not run).
#pragma once

#include <span>
#include <string_view>

namespace oxel::prof {

// OXEL_VERSION comes from the project version in CMakeLists.txt.
inline constexpr std::string_view version_text = "oxel-prof " OXEL_VERSION "\n";
inline constexpr std::string_view usage_text =
    "Usage: oxel-prof [--report FILE] [--json FILE] [--folded FILE] [--svg FILE] [--] <file.ox>\n";
// What --help prints after the usage line.
inline constexpr std::string_view help_text =
    "Runs an Oxel program as oxelc does, then reports how often each line ran\n"
    "(exact) and where the time went (sampled every millisecond).\n"
    "\n"
    "  --report FILE  the table of the hottest lines and functions goes to FILE\n"
    "                 instead of standard error\n"
    "  --json FILE    every line and function run, as JSON\n"
    "  --folded FILE  the sampled call stacks, folded (\"__top;f;g 12\")\n"
    "  --svg FILE     an interactive flame graph\n"
    "  --version      print the version\n"
    "  --help         print this help\n"
    "  --             the next argument is the program\n"
    "\n"
    "Exit status: the program's, as oxelc would give it; 2 for a usage error\n"
    "or a report file that cannot be created.\n";

int run_command_line(std::span<const std::string_view> arguments);

}  // namespace oxel::prof
