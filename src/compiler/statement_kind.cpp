// The one classification of a stored line, for the block walk and for
// tools. One look at the line: its last byte settles an include, its first
// byte picks the few statement words that can match, and only a line that
// names no word is searched for a '(' or '"'.
#include <array>
#include <bit>
#include <cstring>

#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"

namespace oxel {

namespace {

// Whether some line matches both rows. A line that matches a row starts with
// its word, and words hold no blanks, so the longer word must extend the
// shorter, and then only a prefix row of the shorter one can match too.
constexpr bool overlap(const StatementWord& a, const StatementWord& b) {
    if (a.word.size() > b.word.size())
        return overlap(b, a);
    if (!b.word.starts_with(a.word))
        return false;
    if (a.word.size() < b.word.size())
        return a.match == WordMatch::prefix;
    return a.match == b.match || a.match == WordMatch::prefix || b.match == WordMatch::prefix;
}

constexpr bool rows_exclusive() {
    for (std::size_t a = 0; a < std::size(statement_words); ++a) {
        std::string_view word = statement_words[a].word;
        if (word.empty() || word.find_first_of(" \t") != std::string_view::npos)
            return false;
        for (std::size_t b = a + 1; b < std::size(statement_words); ++b) {
            if (overlap(statement_words[a], statement_words[b]))
                return false;
        }
    }
    return true;
}
static_assert(rows_exclusive(), "a line may match only one statement word row");

// For each first byte, the rows whose word starts with it, one bit a row.
static_assert(std::size(statement_words) <= 32);
constexpr std::array<std::uint32_t, 256> rows_by_first_byte = [] {
    std::array<std::uint32_t, 256> rows{};
    for (std::size_t r = 0; r < std::size(statement_words); ++r)
        rows[static_cast<unsigned char>(statement_words[r].word[0])] |= std::uint32_t{1} << r;
    return rows;
}();

bool matches(const StatementWord& row, std::string_view text) {
    switch (row.match) {
        case WordMatch::exact:
            return text == row.word;
        case WordMatch::word:
            return starts_with_word(text, row.word);
        case WordMatch::prefix:
            return text.starts_with(row.word);
    }
    return false;
}

bool holds(std::string_view text, char c) { return std::memchr(text.data(), c, text.size()) != nullptr; }

}  // namespace

StatementKind classify_statement(std::string_view text) {
    const char last = text.back();
    if (last == 'h' && text.size() >= 4 && text.ends_with(".oxh"))
        return StatementKind::ignored;  // an include
    if (text.front() == '(' && last == ')' && text.size() >= 2)
        return holds(text, '.') ? StatementKind::assignment : StatementKind::ignored;
    for (std::uint32_t rows = rows_by_first_byte[static_cast<unsigned char>(text.front())]; rows != 0;
         rows &= rows - 1) {
        const StatementWord& row = statement_words[std::countr_zero(rows)];
        if (matches(row, text))
            return row.kind;
    }
    if (last == ')' && holds(text, '('))
        return StatementKind::call_or_array;
    if (holds(text, '"'))
        return StatementKind::string_assignment;
    return StatementKind::number_assignment;
}

bool is_ignored_line(std::string_view text) {
    return !text.empty() && classify_statement(text) == StatementKind::ignored;
}

}  // namespace oxel
