// The command line of oxel-fmt. Returns the exit status: 0 when every file
// is (now) formatted, 1 with --check when a file would change, 2 for a usage
// error, a file that cannot be read or written, does not compile, or that the
// safety net refused (the other files are still formatted).
#pragma once

#include <span>
#include <string_view>

namespace oxel::fmt {

// OXEL_VERSION comes from the project version in CMakeLists.txt.
inline constexpr std::string_view version_text = "oxel-fmt " OXEL_VERSION "\n";
inline constexpr std::string_view usage_text = "Usage: oxel-fmt [--check] [--] [FILE.ox...]\n";
// What --help prints after the usage line.
inline constexpr std::string_view help_text =
    "Lays out Oxel programs canonically: four spaces per level, no trailing\n"
    "blanks, one blank before an inline comment, definitions spelled\n"
    "`oxelfn name.a, b`. Files are rewritten in place;\n"
    "with no file, standard input is formatted to standard output. A file is\n"
    "written only when its formatted text compiles to the same listing.\n"
    "Headers (.oxh) are left alone.\n"
    "\n"
    "  --check    write nothing; print the files that would change\n"
    "  --version  print the version\n"
    "  --help     print this help\n"
    "  --         every later argument is a file\n"
    "\n"
    "Exit status: 0 done (or nothing to change), 1 with --check a file would\n"
    "change, 2 a usage error or a file that could not be read, written or\n"
    "compiled.\n";

int run_command_line(std::span<const std::string_view> arguments);

}  // namespace oxel::fmt
