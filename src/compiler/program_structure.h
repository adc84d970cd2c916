// Entry to the compiler: the main file's text (read by the driver) and its
// path in, the whole program image out. Headers named by the program are read
// here. A compile error throws Failure (report_error); exhausted memory
// throws std::bad_alloc.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "image/program.h"

namespace oxel {

struct CompileObserver;

// A main file holds fewer bytes than this; its readers (oxelc, oxel-lint)
// refuse a longer one.
inline constexpr std::size_t main_file_limit = 10'485'760;

// About what compiling a main file allocates per byte of its text, the text
// itself included, for a program of short statements that takes in no
// headers: most of it is the image's code, a few instructions of 24 bytes
// per line. A hint for the allocator only (see the compile memory test).
inline constexpr std::size_t compile_bytes_per_source_byte = 10;

// The path of the header that an include line's text names in a file of
// the folder `dir`: the text as written when it is absolute or has a drive.
std::string resolve_header_path(std::string_view dir, std::string_view text);

// The observer, when given, watches the compilation (compile_context.h); the
// program built is the same with or without it.
Program compile_program(std::string main_text, std::string_view main_path,
                        CompileObserver* observer = nullptr);

}  // namespace oxel
