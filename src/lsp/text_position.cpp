// Counting characters in UTF-8 text that may not be valid.
#include "lsp/text_position.h"

#include <algorithm>

namespace oxel::lsp {

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, or 0 when
// its first byte starts none.
std::size_t sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length;
    std::uint32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (overlong || surrogate || value > 0x10FFFF)
        return 0;
    return length;
}

// Calls step(bytes, characters) for each character of the line in turn;
// stops when step returns false.
template <typename Step>
void walk(std::string_view line, Encoding encoding, Step&& step) {
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t length = sequence_length(line.substr(at));
        std::uint32_t units = 1;
        if (length == 0)
            length = 1;
        else if (encoding == Encoding::utf8)
            units = static_cast<std::uint32_t>(length);
        else if (length == 4)
            units = 2;
        if (!step(length, units))
            return;
        at += length;
    }
}

}  // namespace

std::uint32_t characters_in(std::string_view line, std::size_t bytes, Encoding encoding) {
    bytes = std::min(bytes, line.size());
    std::size_t at = 0;
    std::uint32_t characters = 0;
    walk(line, encoding, [&](std::size_t length, std::uint32_t units) {
        if (at + length > bytes)
            return false;
        at += length;
        characters += units;
        return true;
    });
    // a byte count that ends inside a sequence counts its bytes one by one
    return characters + static_cast<std::uint32_t>(bytes - at);
}

std::size_t bytes_before(std::string_view line, std::uint32_t characters, Encoding encoding) {
    std::size_t at = 0;
    std::uint32_t counted = 0;
    walk(line, encoding, [&](std::size_t length, std::uint32_t units) {
        if (counted + units > characters)
            return false;
        at += length;
        counted += units;
        return true;
    });
    return at;
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
    starts_.push_back(0);
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
        starts_.push_back(at + 1);
}

std::string_view LineIndex::line(std::size_t i) const {
    if (i >= starts_.size())
        return {};
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] - 1 : text_.size();
    std::string_view text = text_.substr(starts_[i], end - starts_[i]);
    if (i + 1 < starts_.size() && text.ends_with('\r'))
        text.remove_suffix(1);
    return text;
}

std::size_t LineIndex::offset(Position position, Encoding encoding) const {
    if (position.line >= starts_.size())
        return text_.size();
    return starts_[position.line] + bytes_before(line(position.line), position.character, encoding);
}

Position LineIndex::position(std::size_t offset, Encoding encoding) const {
    offset = std::min(offset, text_.size());
    auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    std::size_t i = static_cast<std::size_t>(after - starts_.begin()) - 1;
    std::string_view text = line(i);
    return Position{static_cast<std::uint32_t>(i),
                    characters_in(text, offset - starts_[i], encoding)};
}

}  // namespace oxel::lsp
