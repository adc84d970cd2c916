// Entry to the compiler: the main file's text (read by the driver) and its
// path in, the whole program image out. Headers named by the program are read
// here. A compile error throws Failure (report_error); exhausted memory
// throws std::bad_alloc.
#pragma once

#include <string>
#include <string_view>

#include "image/program.h"

namespace oxel {

Program compile_program(std::string main_text, std::string_view main_path);

}  // namespace oxel
