// The text form of a value, as echo, cat, fwrite and vga use it, made
// without the heap: a number's text is laid out in a buffer the caller keeps
// on its stack, a string is its own bytes. The digits are those of
// format_integer and format_float.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/number_text.h"
#include "runtime/value.h"

namespace oxel {

struct TextBuffer {
    char bytes[max_number_text];
};

// Int and Float: their number text, written into `buffer`. String: its own
// bytes. Array: "[array]" (callers that refuse arrays check first).
std::string_view text_of(const Value& v, TextBuffer& buffer);

}  // namespace oxel
