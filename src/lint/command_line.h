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

int run_command_line(std::span<const std::string_view> arguments);

}  // namespace oxel::lint
