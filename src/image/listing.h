// The --dump listing: every chunk with its instructions, then the string
// constants, written to standard error. Reads the program image only.
#pragma once

#include <string>

#include "image/program.h"

namespace oxel {

// Writes the listing to standard error, one write per line.
void dump_program(const Program& program);

// The whole listing as text, for tests.
std::string listing_text(const Program& program);

}  // namespace oxel
