// The byte-level tests that every compiler pass shares: blanks,
// trimming, identifiers, keyword prefixes and directories of paths. Text is
// bytes; every test is an exact, case-sensitive byte comparison.
#pragma once

#include <string_view>

#include "image/line_code.h"  // is_blank

namespace oxel {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

inline bool is_identifier_start(char c) {
    return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline bool is_identifier_byte(char c) { return is_identifier_start(c) || is_digit(c); }

// `_` or an ASCII letter, then `_`, ASCII letters and digits.
inline bool is_identifier(std::string_view text) {
    if (text.empty() || !is_identifier_start(text[0]))
        return false;
    for (char c : text.substr(1)) {
        if (!is_identifier_byte(c))
            return false;
    }
    return true;
}

// Removes blanks from both ends.
inline std::string_view trim(std::string_view text) { return trim_by(text, is_blank); }

// The keyword followed by one blank, as in "echo x" or "len\tx".
inline bool starts_with_word(std::string_view text, std::string_view keyword) {
    return text.size() > keyword.size() && text.starts_with(keyword) && is_blank(text[keyword.size()]);
}

// Everything up to and including the last `/` or `\`; empty when there is none.
inline std::string_view directory_of(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

}  // namespace oxel
