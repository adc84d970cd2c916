// Cutting a file's text into stored lines: indentation levels, trimming,
// whole-line and inline `cmt` comments, and the header-mode check.
#include <algorithm>
#include <cstring>

#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"

namespace oxel {

namespace {

// Line splitting also trims carriage returns, so CRLF files read like LF files.
bool is_line_space(char c) { return is_blank(c) || c == '\r'; }

std::string_view trim_line(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && is_line_space(text[first]))
        ++first;
    std::size_t end = text.size();
    while (end > first && is_line_space(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}

bool is_whole_line_comment(std::string_view text) {
    return text == comment_word || starts_with_word(text, comment_word);
}

// Position of an inline ` cmt` comment outside double quotes, or npos. One
// flag tracks quotes: set by a leading quote, flipped by every later one.
// The flag is brought up to date only where the word `cmt` stands between
// blanks (or a blank and the end), so most lines are searched, not walked.
std::size_t inline_comment_start(std::string_view text) {
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

// Line feeds in the text, in a loop the compiler can vectorise.
std::size_t count_line_feeds(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        count += c == '\n' ? 1 : 0;
    return count;
}

}  // namespace

void split_lines(LineList& lines, std::string_view text, std::string_view path, std::string_view dir,
                 bool header_mode) {
    // Past the limit the include pass refuses the program anyway, so further
    // lines are checked but not kept.
    constexpr std::size_t kept_limit = max_stored_lines + 1;
    std::vector<SourceLine>& stored = lines.lines_;
    // Every stored line ends at a line feed or the end, so counting them
    // sizes the list once for this file (growing it at least by half, so
    // that many small headers still cost linear time).
    if (stored.size() < kept_limit) {
        std::size_t count = count_line_feeds(text) + 1;
        std::size_t needed = stored.size() + std::min(count, kept_limit - stored.size());
        if (needed > stored.capacity())
            stored.reserve(std::min(std::max(needed, stored.capacity() + stored.capacity() / 2), kept_limit));
    }
    lines.files_.push_back(SourceFile{stored.size(), text.data(), path, dir});

    std::uint32_t number = 0;
    std::size_t start = 0;
    for (;;) {
        const void* feed = std::memchr(text.data() + start, '\n', text.size() - start);
        std::size_t end =
            feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) : text.size();
        std::string_view piece = text.substr(start, end - start);
        ++number;

        // indentation: a space is one column, a tab four
        std::size_t columns = 0;
        std::size_t skip = 0;
        while (skip < piece.size() && is_blank(piece[skip])) {
            columns += piece[skip] == '\t' ? indent_columns : 1;
            ++skip;
        }
        std::string_view code = trim_line(piece.substr(skip));
        if (is_whole_line_comment(code))
            code = {};
        std::size_t comment = inline_comment_start(code);
        if (comment != std::string_view::npos)
            code = trim_line(code.substr(0, comment));
        if (!code.empty()) {
            std::int32_t level = static_cast<std::int32_t>(columns / indent_columns);
            if (header_mode && level == 0 && !is_ignored_line(code) && !code.starts_with("oxelfn")) {
                report_error("Only oxelfn definitions allowed in header '" + std::string(path) + "'", number);
            }
            if (stored.size() < kept_limit) {
                stored.push_back(SourceLine{static_cast<std::uint32_t>(code.data() - text.data()),
                                            static_cast<std::uint32_t>(code.size()), number, level});
            }
        }

        if (!feed)
            break;
        start = end + 1;
    }
}

}  // namespace oxel
