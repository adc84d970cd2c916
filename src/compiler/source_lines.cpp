// Cutting a file's text into stored lines: indentation levels, trimming,
// whole-line and inline `cmt` comments, and the header-mode check.
#include <algorithm>
#include <cstring>
#include <functional>

#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "image/line_code.h"

namespace oxel {

namespace {

// Line feeds in the text, in a loop the compiler can vectorise.
std::size_t count_line_feeds(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        count += c == '\n' ? 1 : 0;
    return count;
}

}  // namespace

SourceRange range_in_code(std::string_view path, const char* file_start, std::uint32_t number,
                          std::string_view code, std::string_view part) {
    const char* line_start = code.data();
    while (line_start > file_start && line_start[-1] != '\n')
        --line_start;
    const std::less<const char*> before;
    if (part.empty() || before(part.data(), code.data()) ||
        before(code.data() + code.size(), part.data() + part.size()))
        part = code;
    const auto first = static_cast<std::uint32_t>(part.data() - line_start) + 1;
    return SourceRange{std::string(path), number, first, first + static_cast<std::uint32_t>(part.size()) - 1};
}

SourceRange range_of(const LineList& lines, std::size_t i, std::string_view part) {
    const SourceFile& file = lines.file_of(i);
    return range_in_code(file.path, file.bytes, lines[i].number, lines.text(i), part);
}

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
        std::string_view code = line_code(piece.substr(skip));
        if (!code.empty()) {
            std::int32_t level = static_cast<std::int32_t>(columns / indent_columns);
            if (header_mode && level == 0 && !is_ignored_line(code) && !code.starts_with("oxelfn")) {
                report_error(FailureKind::header_not_definition, quoted(path),
                             range_in_code(path, text.data(), number, code, {}));
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
