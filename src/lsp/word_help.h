// One line of the guide (docs/guide.md, its quick reference) for each
// statement word and built-in form, shown when the pointer rests on it. A
// test checks that every line still stands verbatim in the guide, and that
// every statement word has one.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace oxel::lsp {

struct WordHelp {
    std::string_view word;
    std::string_view guide_line;
};

extern const std::span<const WordHelp> word_help;

// The guide's line for a word, as Markdown: a table row `| form | meaning |`
// becomes "form: meaning".
std::optional<std::string> help_for(std::string_view word);

// Words a name may not take: the statement words, names that a prefix word
// would swallow (`lo`, `in`...), and the built-in forms' words.
bool is_reserved_name(std::string_view name);

}  // namespace oxel::lsp
