// What the server knows of a program's names: its functions with their
// parameters and the comment above each, every call, every variable written
// or read (per scope: a function's body, or the top level), and every
// include. Made by compiling the program with an observer, so each name is
// read exactly as oxelc reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxel::lsp {

// A run of bytes in one of the analysed files.
struct Place {
    std::size_t file;      // index into Analysis::files
    std::uint32_t line;    // 1-based
    std::uint32_t column;  // 1-based byte
    std::uint32_t length;  // bytes
};

struct FileText {
    std::string path;  // as the compiler spelled it
    std::string text;
};

struct FunctionSymbol {
    std::string name;
    std::vector<std::string> params;
    Place name_place;
    std::vector<Place> param_places;
    std::uint32_t last_line;  // of its body (the definition line when empty)
    std::string definition;   // the definition line's code
    std::string comment;      // the whole-line comments right above it, one per line
    std::size_t scope;
};

struct VariableUse {
    std::string name;
    std::size_t scope;
    Place place;
    bool declares;  // the write that brings the name into its scope
    bool number_form;  // written as `name5`, where a name ending in a digit would change the line
};

struct Call {
    std::size_t function;  // index into functions
    Place place;
};

struct Include {
    Place place;       // the include line's text
    std::string path;  // the header it names
};

struct Analysis {
    std::vector<FileText> files;  // the main file first
    std::vector<FunctionSymbol> functions;
    std::vector<VariableUse> variables;
    std::vector<Call> calls;
    std::vector<Include> includes;
    std::size_t top_scope = 0;

    // The scope of a line: the function whose definition or body holds it,
    // else the top level (for the main file) or nothing (between a header's
    // functions).
    std::optional<std::size_t> scope_at(std::size_t file, std::uint32_t line) const;
    std::optional<std::size_t> file_named(std::string_view path) const;
    std::optional<std::size_t> function_named(std::string_view name) const;
};

// A program that does not compile is analysed without the lines of its
// main file that fail, each emptied in turn, up to this many; nothing when
// it still fails then, or fails in a header.
inline constexpr int max_lines_left_out = 20;
std::optional<Analysis> analyze(std::string text, std::string_view path);

}  // namespace oxel::lsp
