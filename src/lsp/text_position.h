// Positions as editors count them. A position is a 0-based line and a
// 0-based character within it; what a character is depends on the encoding
// agreed at initialization: a UTF-16 code unit (the default) or a byte.
// Lines end at a line feed; a carriage return just before it belongs to the
// line end. A byte that does not start a valid UTF-8 sequence (a lone
// continuation byte, a truncated or overlong sequence, a surrogate, a value
// past U+10FFFF) counts as one character in either encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace oxel::lsp {

enum class Encoding { utf16, utf8 };

struct Position {
    std::uint32_t line = 0;
    std::uint32_t character = 0;
    auto operator<=>(const Position&) const = default;
};

// Characters in the first `bytes` bytes of the line.
std::uint32_t characters_in(std::string_view line, std::size_t bytes, Encoding encoding);
// Bytes before the character `characters` of the line; the line's length
// when the line is shorter. A character inside a surrogate pair is taken as
// the pair's start.
std::size_t bytes_before(std::string_view line, std::uint32_t characters, Encoding encoding);

// Where each line of a text starts.
class LineIndex {
public:
    explicit LineIndex(std::string_view text);
    std::size_t count() const { return starts_.size(); }
    // Line i (0-based) without its line end; empty past the last line.
    std::string_view line(std::size_t i) const;
    std::size_t line_start(std::size_t i) const { return i < starts_.size() ? starts_[i] : text_.size(); }
    // The byte offset of a position, clamped to the text.
    std::size_t offset(Position position, Encoding encoding) const;
    Position position(std::size_t offset, Encoding encoding) const;
    // The position just past the last byte.
    Position end(Encoding encoding) const { return position(text_.size(), encoding); }

private:
    std::string_view text_;
    std::vector<std::size_t> starts_;
};

}  // namespace oxel::lsp
