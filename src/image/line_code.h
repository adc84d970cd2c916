// Where a line's code lies in its physical line: blanks and carriage returns
// trimmed, `cmt` comments removed. The compiler cuts its stored lines by
// these rules, and the machine finds by them the statement a run-time
// failure is placed on, so both read a line alike.
#pragma once

#include <cstddef>
#include <string_view>

namespace oxel {

// The word that starts a comment: the line splitter removes ` cmt ...` at the
// end of a line, and a line that is `cmt` or starts with `cmt` and a blank,
// before any statement is read.
inline constexpr std::string_view comment_word = "cmt";

// A blank is a space or a tab; carriage returns and other control bytes are
// ordinary bytes except where the line splitter says otherwise.
inline bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Line splitting also trims carriage returns, so CRLF files read like LF files.
inline bool is_line_space(char c) { return is_blank(c) || c == '\r'; }

// The text without the bytes `space` accepts at either end.
template <typename Space>
std::string_view trim_by(std::string_view text, Space space) {
    std::size_t first = 0;
    while (first < text.size() && space(text[first]))
        ++first;
    std::size_t end = text.size();
    while (end > first && space(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}

inline std::string_view trim_line(std::string_view text) { return trim_by(text, is_line_space); }

// The comment word, alone or followed by a blank, at the start of the trimmed line.
inline bool is_whole_line_comment(std::string_view text) {
    constexpr std::size_t length = comment_word.size();
    return text == comment_word ||
           (text.size() > length && text.starts_with(comment_word) && is_blank(text[length]));
}

// Position of an inline ` cmt` comment outside double quotes, or npos. One
// flag tracks quotes: set by a leading quote, flipped by every later one.
// The flag is brought up to date only where the word `cmt` stands between
// blanks (or a blank and the end), so most lines are searched, not walked.
inline std::size_t inline_comment_start(std::string_view text) {
    std::size_t n = text.size();
    if (n < 2)
        return std::string_view::npos;
    bool quoted = text[0] == '"';
    std::size_t counted = 1;  // quotes before this position have flipped the flag
    constexpr std::size_t length = comment_word.size();
    for (std::size_t p = text.find(comment_word, 1); p != std::string_view::npos;
         p = text.find(comment_word, p + 1)) {
        if (!is_blank(text[p - 1]) || (p + length != n && !is_blank(text[p + length])))
            continue;
        for (; counted < p; ++counted) {
            if (text[counted] == '"')
                quoted = !quoted;
        }
        if (!quoted)
            return p;
    }
    return std::string_view::npos;
}

// Line `number` of the text (1-based), without its line feed; empty past the end.
inline std::string_view physical_line(std::string_view text, std::uint32_t number) {
    std::size_t start = 0;
    for (std::uint32_t n = 1; n < number; ++n) {
        std::size_t feed = text.find('\n', start);
        if (feed == std::string_view::npos)
            return {};
        start = feed + 1;
    }
    return text.substr(start, text.find('\n', start) - start);
}

// The code of a physical line (without its line feed): trimmed, comments
// removed; empty for a blank or comment line.
inline std::string_view line_code(std::string_view line) {
    std::string_view code = trim_line(line);
    if (is_whole_line_comment(code))
        return {};
    std::size_t comment = inline_comment_start(code);
    if (comment != std::string_view::npos)
        code = trim_line(code.substr(0, comment));
    return code;
}

}  // namespace oxel
