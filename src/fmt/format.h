// The formatter: a program's text in, the same program laid out canonically
// out. Levels come from the compiler's own line splitter, so a line is placed
// at exactly the level oxelc reads it at. `format_checked` adds the safety
// net: both texts are compiled and their listings compared. Everything here
// is a pure function of its arguments; the caller owns all text.
#pragma once

#include <string>
#include <string_view>

namespace oxel::fmt {

// The canonical layout of `text`, line by line:
// - a code line is indented by four spaces per level (the level the compiler
//   computes: columns / 4, a tab being four columns), its trailing blanks
//   removed, and an inline comment set after exactly one blank;
// - a whole-line comment takes the indentation of the next code line (level
//   0 when none follows), its text otherwise kept;
// - a blank line becomes empty; every line is kept, so line numbers in
//   failures stay the same;
// - a line ending in a carriage return keeps one, so CRLF files stay CRLF;
//   a last line without a line feed gets the line end of the first line.
// A line whose code starts with a carriage return is left as it is.
std::string format_text(std::string_view text);

enum class Outcome {
    unchanged,       // already canonical
    changed,         // `formatted` holds the new text
    compile_error,   // the original does not compile: `message` says why
    internal_error,  // the formatted text would compile differently: left alone
};

struct Checked {
    Outcome outcome;
    std::string formatted;
    std::string message;
};

// Formats `text` (the main file at `path`, whose includes are read relative
// to it) and checks that the formatted text compiles to the same listing.
Checked format_checked(const std::string& text, std::string_view path);

// The safety net alone: `formatted` is accepted (changed, or unchanged when
// equal to `text`) only when it compiles to the listing `text` compiles to.
Checked check_formatted(const std::string& text, std::string formatted, std::string_view path);

}  // namespace oxel::fmt
