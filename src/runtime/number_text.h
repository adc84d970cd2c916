// Conversions between numbers and their text: integer and float literals in
// the source, strings read as numbers at run time, and every number that is
// printed, written to a file or joined into a string. Parsers return nothing
// on failure and report nothing; each caller decides what a failure means.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oxel {

enum class IntegerParseError : std::uint8_t { invalid_character, overflow };

struct IntegerParse {
    std::int64_t value = 0;
    bool ok = false;
    IntegerParseError error = IntegerParseError::invalid_character;
};

// Base 10, optional sign, underscores between digits (several in a row
// allowed, none first or last). No blanks anywhere.
IntegerParse parse_integer(std::string_view text);

// Decimal or 0x hexadecimal form, inf/infinity/nan in any case, optional
// sign, underscores only between two digits. Correctly rounded.
std::optional<double> parse_float(std::string_view text);

// The compilers' test: trimmed of blanks, non-empty, holds a '.', starts with
// '-' or a digit, and parse_float accepts all of it.
bool is_float_literal(std::string_view text);

std::string format_integer(std::int64_t value);

// Shortest digits that read back to the same float, laid out positionally
// with no exponent; nan, inf, -0 as such.
std::string format_float(double value);

// The longest number text: "-", "0.", 323 zeros and 17 digits.
inline constexpr std::size_t max_number_text = 352;

// Buffer forms, for callers that keep the text on their stack: write the
// text at `out` (room for max_number_text bytes) and return its end.
char* write_integer(char* out, std::int64_t value);
char* write_float(char* out, double value);

// Appending forms, for callers that build one buffer.
void append_integer(std::string& out, std::int64_t value);
void append_float(std::string& out, double value);

}  // namespace oxel
