// The command line of oxel-lint. Returns the exit status: 0 when nothing was
// found, 1 for any warning or compile error, 2 for a usage error or a file
// that cannot be read (the other files are still checked).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "compiler/program_structure.h"  // main_file_limit

namespace oxel::lint {

// OXEL_VERSION comes from the project version in CMakeLists.txt.
inline constexpr std::string_view version_text = "oxel-lint " OXEL_VERSION "\n";
inline constexpr std::string_view usage_text =
    "Usage: oxel-lint [--format=text|json] [--disable=NAME[,NAME...]] [--list] [--] FILE.ox...\n";
// What --help prints after the usage line: each option and the exit statuses.
inline constexpr std::string_view help_text =
    "Reports the likely mistakes in Oxel programs that the compiler accepts.\n"
    "\n"
    "  --format=text|json        the report form; text is the default\n"
    "  --disable=NAME[,NAME...]  turn the named warnings off (may be repeated)\n"
    "  --list                    print every warning's name and summary\n"
    "  --version                 print the version\n"
    "  --help                    print this help\n"
    "  --                        every later argument is a file\n"
    "\n"
    "Exit status: 0 nothing found, 1 a warning or compile error reported,\n"
    "2 a usage error or a file that could not be read.\n"
    "See oxel-lint(1) for the warnings and how to silence one line.\n";

int run_command_line(std::span<const std::string_view> arguments);

}  // namespace oxel::lint
