// The run sequence behind the command line: arguments, the main file, the
// compiler, then the listing or the machine. Returns the exit status; the
// one error report is written here and nowhere else.
#pragma once

#include <span>
#include <string_view>

#include "compiler/program_structure.h"  // main_file_limit

namespace oxel {

// OXEL_VERSION comes from the project version in CMakeLists.txt.
inline constexpr std::string_view version_line = "oxelc " OXEL_VERSION "\n";
inline constexpr std::string_view usage_line = "Usage: oxelc [--dump] <file.ox>\n";

// `arguments` excludes the program name. Exhausted memory escapes as
// std::bad_alloc, for main to end the process.
int run_command_line(std::span<const std::string_view> arguments);

}  // namespace oxel
