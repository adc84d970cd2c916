// Console and devices: printing values, reading input lines, the display
// banner. Each printed value goes out in one unbuffered write, so output and
// error reports interleave exactly as the program produced them.
#pragma once

#include "runtime/heap.h"
#include "runtime/value.h"

namespace oxel {

// The value's text and a line feed on standard output; failures ignored.
void print_value(const Value& v);
// One line of standard input: Int 0 when empty, an Int when the trimmed
// text is an integer, else a String copied into the heap.
Value read_input_line(Heap& heap);
// "[VGA " + the string + " initialized]\n".
void write_vga_banner(const Value& v);

}  // namespace oxel
