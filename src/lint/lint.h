// oxel-lint: finds the mistakes that the language accepts without a word.
// A check compiles the program with the compiler's own library, watching it
// (CompileObserver), so every line is read exactly as oxelc reads it; a
// compile error ends the check of that program. The findings name the file
// that holds each line, a header's path for a header's lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lint/warnings.h"

namespace oxel::lint {

enum class Severity : std::uint8_t { warning, error };

struct Finding {
    Severity severity;
    std::string path;
    std::uint32_t line;    // 1-based in its own file
    std::uint32_t column;  // 1-based byte in the line
    std::string name;      // the warning's name; empty for an error
    std::string message;
    std::string source;  // the line as written, without its line end
    // The last byte of the text the finding is about, 1-based and inclusive
    // (at least `column`): editors underline column..last_column.
    std::uint32_t last_column;
    // When the fix is certain (a near name the program defines), the text
    // that replaces column..last_column; empty otherwise.
    std::string fix = {};
    // For an error, the failure kind's name (failure_kind.h); empty for a warning.
    std::string kind = {};
};

// Every warning, in the order the documentation lists them (warnings.h).
extern const std::span<const WarningInfo> warnings;
bool is_warning_name(std::string_view name);

// Checks the program whose main file holds `text`. Findings come in file
// order (main file first, headers as taken in), then line and column; a line
// whose comment silences a warning (`cmt lint-ignore`, or
// `cmt lint-ignore=name,name`) has it removed.
std::vector<Finding> check_program(std::string text, std::string_view path);

// `path:line:column: warning: message [name]`, the source line and a caret.
std::string format_text(const Finding& finding);
// One JSON array holding every finding.
std::string format_json(std::span<const Finding> findings);

}  // namespace oxel::lint
