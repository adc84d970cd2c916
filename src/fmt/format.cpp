// Laying out a program's lines, and the listing check that guards it.
#include "fmt/format.h"

#include <cstdint>
#include <new>
#include <vector>

#include "base/error_report.h"
#include "compiler/compile_context.h"
#include "compiler/program_structure.h"
#include "compiler/text_rules.h"
#include "image/line_code.h"
#include "image/listing.h"

namespace oxel::fmt {

namespace {

constexpr std::int32_t no_level = -1;

// The level of every physical line that holds code (index: line number),
// as the compiler's splitter reads it; no_level for blank and comment lines.
std::vector<std::int32_t> code_levels(std::string_view text) {
    LineList lines;
    split_lines(lines, text, {}, {}, false);
    std::vector<std::int32_t> levels;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const SourceLine& line = lines[i];
        if (levels.size() <= line.number)
            levels.resize(line.number + 1, no_level);
        levels[line.number] = line.level;
    }
    return levels;
}

std::string_view without_trailing_space(std::string_view text) {
    while (!text.empty() && is_line_space(text.back()))
        text.remove_suffix(1);
    return text;
}

// A definition spelled `oxelfn name` or `oxelfn name.a, b`; the code as it
// is when it is no definition the compiler would accept, or when the new
// spelling would read differently (a parameter named `cmt` after a blank
// would start a comment).
std::string canonical_definition(std::string_view code) {
    constexpr std::string_view keyword = "oxelfn";
    std::string_view rest = trim(code.substr(keyword.size()));
    std::size_t dot = rest.find('.');
    std::string_view name = trim(rest.substr(0, dot));
    if (!is_identifier(name))
        return std::string(code);
    std::string out = std::string(keyword) + " " + std::string(name);
    if (dot != std::string_view::npos) {
        std::string_view parameters = rest.substr(dot + 1);
        out += '.';
        for (bool first = true;; first = false) {
            std::size_t comma = parameters.find(',');
            std::string_view parameter = trim(parameters.substr(0, comma));
            if (!is_identifier(parameter))
                return std::string(code);
            out += first ? "" : ", ";
            out += parameter;
            if (comma == std::string_view::npos)
                break;
            parameters.remove_prefix(comma + 1);
        }
    }
    return line_code(out) == out ? out : std::string(code);
}

// One physical line's content without its indentation, trailing blanks and
// carriage returns: a definition at level 0 in its canonical spelling, an
// inline comment after one blank.
std::string tidy_content(std::string_view content, std::int32_t level) {
    std::string_view code = line_code(content);
    if (code.empty())
        return std::string(content);
    std::string tidy = level == 0 && code.starts_with("oxelfn") ? canonical_definition(code) : std::string(code);
    if (code.size() == content.size())
        return tidy;
    std::size_t comment = inline_comment_start(content);
    return tidy + " " + std::string(content.substr(comment));
}

}  // namespace

std::string format_text(std::string_view text) {
    const std::vector<std::int32_t> levels = code_levels(text);
    struct Piece {
        std::string_view raw;
        std::string_view content;  // past the indentation, trailing space removed
        bool carriage_return;      // the trailing space held one
        std::int32_t level;        // no_level: not a code line
    };
    std::vector<Piece> pieces;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view raw = text.substr(start, end - start);
        std::size_t skip = 0;
        while (skip < raw.size() && is_blank(raw[skip]))
            ++skip;
        std::string_view content = without_trailing_space(raw.substr(skip));
        std::string_view tail = raw.substr(skip + content.size());
        const std::size_t number = pieces.size() + 1;
        const std::int32_t level = number < levels.size() ? levels[number] : no_level;
        pieces.push_back({raw, content, tail.find('\r') != std::string_view::npos, level});
        start = end + 1;
    }

    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::int32_t next_level = 0;  // of the next code line, walking backwards
    std::vector<std::int32_t> comment_levels(pieces.size(), 0);
    for (std::size_t i = pieces.size(); i-- > 0;) {
        if (pieces[i].level != no_level)
            next_level = pieces[i].level;
        comment_levels[i] = next_level;
    }
    const bool first_ends_crlf = !pieces.empty() && pieces[0].carriage_return;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const bool last_without_feed = i + 1 == pieces.size() && text.back() != '\n';
        if (last_without_feed && piece.content.empty())
            break;  // a last line of blanks only leaves nothing behind
        if (!piece.content.empty() && piece.content[0] == '\r') {
            out += piece.raw;  // its code starts after a carriage return: left alone
        } else if (!piece.content.empty()) {
            std::int32_t level = piece.level != no_level ? piece.level : comment_levels[i];
            out.append(static_cast<std::size_t>(level) * indent_columns, ' ');
            out += tidy_content(piece.content, piece.level);
            if (piece.carriage_return)
                out += '\r';
        } else if (piece.carriage_return) {
            out += '\r';
        }
        if (last_without_feed && first_ends_crlf && !piece.carriage_return)
            out += '\r';
        out += '\n';
    }
    return out;
}

Checked format_checked(const std::string& text, std::string_view path) {
    return check_formatted(text, format_text(text), path);
}

Checked check_formatted(const std::string& text, std::string formatted, std::string_view path) {
    std::string before;
    try {
        before = listing_text(compile_program(text, path));
    } catch (const Failure& failure) {
        return {Outcome::compile_error, {}, format_report(failure)};
    }
    if (formatted == text)
        return {Outcome::unchanged, {}, {}};
    std::string after;
    try {
        after = listing_text(compile_program(formatted, path));
    } catch (const Failure& failure) {
        return {Outcome::internal_error, {}, "the formatted text does not compile: " + format_report(failure)};
    }
    if (after != before)
        return {Outcome::internal_error, {}, "the formatted text compiles to a different listing"};
    return {Outcome::changed, std::move(formatted), {}};
}

}  // namespace oxel::fmt
