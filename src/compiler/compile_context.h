// What the compiler passes share. `SourceLine` is one stored line of the main
// file or a header; the line list holds them all, main file first, headers
// appended in the order they were taken in. `CompileContext` is what the
// statement and expression compilers receive for one chunk: the line list,
// the program being built, the chunk receiving instructions, and the `Scope`
// that maps the chunk's variable names to slots. `compile_program` builds
// the line list and one context per function body plus one for the top
// level. Every text here is a view into the source buffers kept in
// `Program::texts`, which nothing frees before exit.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "compiler/text_rules.h"
#include "image/program.h"

namespace oxel {

// Beyond this many stored lines (all files together) a program is refused
// with "Include loop".
inline constexpr std::size_t max_stored_lines = 50000;

// A header holds at most this many bytes minus one.
inline constexpr std::size_t header_read_limit = 2097152;
// The headers taken in, each counted at every include with its resolved
// path, hold fewer bytes than this together: as many as the main file may hold.
inline constexpr std::size_t include_text_limit = main_file_limit;

// Levels are counted in units of this many columns; a tab is one unit.
inline constexpr std::int32_t indent_columns = 4;

// One stored line in 16 bytes; its text lies in the bytes of the file it
// came from, found through the list.
struct SourceLine {
    std::uint32_t start;   // offset of the text in its file
    std::uint32_t length;  // of the text, trimmed, comment removed; never 0
    std::uint32_t number;  // 1-based in its own file; blank and comment lines count
    std::int32_t level;    // indentation columns / 4
};
static_assert(sizeof(SourceLine) == 16);

// A file whose stored lines follow those of the files taken in before it.
struct SourceFile {
    std::size_t first_line;  // index of its first stored line
    const char* bytes;       // the file's text
    std::string_view path;   // as opened: the command-line path or a resolved header path
    std::string_view dir;    // path up to and including its last '/' or '\'
};

class LineList {
public:
    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const SourceLine& operator[](std::size_t i) const { return lines_[i]; }
    std::string_view text(std::size_t i) const {
        return {file_of(i).bytes + lines_[i].start, lines_[i].length};
    }
    // The file holding line i: the last one whose lines start at or before it.
    const SourceFile& file_of(std::size_t i) const {
        if (i >= files_.back().first_line)
            return files_.back();
        auto after =
            std::upper_bound(files_.begin(), files_.end(), i,
                             [](std::size_t line, const SourceFile& file) { return line < file.first_line; });
        return *(after - 1);
    }

private:
    friend void split_lines(LineList& lines, std::string_view text, std::string_view path,
                            std::string_view dir, bool header_mode);
    std::vector<SourceLine> lines_;
    std::vector<SourceFile> files_;
};

// For every line, the index of the last line of its nested block (the run
// of deeper lines right after it); its own index when the next line is not
// deeper. Computed once, so the block walk never scans ahead.
using BlockEnds = std::vector<std::uint32_t>;

// A function's variable names and their slots. Names are views into the
// source; a slot is never freed or reused within its chunk.
struct Scope {
    std::unordered_map<std::string_view, std::uint32_t> slots;
};

struct CompileContext;

// The text between single quotes, as failures quote a name or a line.
inline std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The place of `part`, a view into `code`: the trimmed code of the line
// `number` of the file `path`, whose text begins at `file_start`. An empty
// part, or one outside the code (a name rebuilt in a buffer), stands for the
// whole code. Work done only when a failure is made.
SourceRange range_in_code(std::string_view path, const char* file_start, std::uint32_t number,
                          std::string_view code, std::string_view part);
// The same for stored line i.
SourceRange range_of(const LineList& lines, std::size_t i, std::string_view part);

// Watches a compilation without changing it: the texts read, the line list,
// and every variable that a statement writes or reads. The checker (oxel-lint)
// uses it to see the program exactly as the compiler reads it. Views passed to
// it point into the program's texts, except a read name that the arithmetic
// form rebuilt without its blanks, which lives only for the call.
struct CompileObserver {
    virtual ~CompileObserver() = default;
    // The main file and every header, each once, before it is split.
    virtual void file_read(std::string_view /*path*/, std::string_view /*text*/) {}
    // After the include pass, before any definition is looked at.
    virtual void lines_read(const LineList& /*lines*/, const BlockEnds& /*ends*/) {}
    // find_or_declare: `added` when the name is new to the scope.
    virtual void wrote(const CompileContext& /*context*/, std::string_view /*name*/, bool /*added*/) {}
    // resolve, before the name is looked up.
    virtual void read(const CompileContext& /*context*/, std::string_view /*name*/, std::uint32_t /*line*/) {}
    // Before the code of stored line `line` is emitted at context.code_length():
    // every statement, and again a loop's line where its close is emitted.
    virtual void statement_started(const CompileContext& /*context*/, std::size_t /*line*/) {}
    // A chunk's code and scope are complete, before the code buffer is reused.
    // `definition`: the stored line defining the function; lines.size() for
    // the top level.
    virtual void chunk_finished(const CompileContext& /*context*/, std::size_t /*definition*/) {}
};

struct CompileContext {
    const LineList& lines;
    const BlockEnds& block_ends;
    Program& program;
    std::size_t current_chunk;
    // The chunk's code while it is compiled: one buffer serves every chunk in
    // turn, and each chunk receives a copy of exactly its own size at the end.
    std::vector<Instruction>& code;
    Scope scope;
    std::uint32_t next_slot = 0;  // also counts the unnamed loop counters
    CompileObserver* observer = nullptr;
    std::size_t current_line = 0;  // index of the line being compiled; failures are placed on it

    // The place of `part`, a view into the current line's text; the whole
    // statement for an empty part or one rebuilt outside the source.
    SourceRange where(std::string_view part = {}) const { return range_of(lines, current_line, part); }

    std::size_t emit(Opcode op, std::int64_t a, std::uint32_t line) { return emit(op, a, 0, line); }
    std::size_t emit(Opcode op, std::int64_t a, std::int64_t b, std::uint32_t line) {
        code.push_back(Instruction{a, b, line, op});
        return code.size() - 1;
    }
    // Sets operand a of an already emitted jump.
    void patch_target(std::size_t index, std::size_t target) {
        code[index].a = static_cast<std::int64_t>(target);
    }
    std::size_t code_length() const { return code.size(); }
};

// A definition found by the function pass, waiting for its body to be compiled.
struct PendingFunction {
    std::size_t chunk;
    std::vector<std::string_view> params;
    std::size_t first_line;  // first body line; greater than last_line for an empty body
    std::size_t last_line;
    std::string_view path;  // file of the definition line
};

// The slot of the name, entering it with the next free slot if it is new.
inline std::uint32_t find_or_declare(CompileContext& context, std::string_view name) {
    auto [entry, added] = context.scope.slots.try_emplace(name, context.next_slot);
    if (added)
        ++context.next_slot;
    if (context.observer)
        context.observer->wrote(context, name, added);
    return entry->second;
}

// The slot of a name some earlier line wrote.
inline std::uint32_t resolve(const CompileContext& context, std::string_view name, std::uint32_t line) {
    if (context.observer)
        context.observer->read(context, name, line);
    auto found = context.scope.slots.find(name);
    if (found == context.scope.slots.end()) {
        report_error(FailureKind::undefined_variable, quoted(name), context.where(name));
    }
    return found->second;
}

// Source lines (source_lines.cpp).
void split_lines(LineList& lines, std::string_view text, std::string_view path, std::string_view dir,
                 bool header_mode);
// Markers, includes and parenthesised notes: the lines classify_statement
// calls ignored (statement_kind.cpp).
bool is_ignored_line(std::string_view text);

// Program structure (program_structure.cpp).
BlockEnds find_block_ends(const LineList& lines);

// Statements (statement_compiler.cpp): lines first to last as one block
// whose lines stand at level parent + 1.
void compile_block(CompileContext& context, std::size_t first, std::size_t last, std::int32_t parent);

// Expressions (expression_compiler.cpp).
void compile_operand(CompileContext& context, std::string_view text, std::uint32_t line);
void compile_condition(CompileContext& context, std::string_view text, std::uint32_t line);
void compile_assignment(CompileContext& context, std::string_view target, std::string_view expression,
                        std::uint32_t line);
// Compiles the non-empty comma pieces as arguments and emits `call`, after
// checking their count against the function's arity.
void compile_call(CompileContext& context, std::size_t function, std::string_view arguments,
                  std::uint32_t line);

// Calls `each` with every comma piece of the text, trimmed: one piece more
// than the text has commas; quotes protect nothing.
template <typename Each>
void for_each_piece(std::string_view text, Each&& each) {
    for (;;) {
        std::size_t comma = text.find(',');
        each(trim(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            return;
        text.remove_prefix(comma + 1);
    }
}

// The first N comma pieces, and how many there are in all.
template <std::size_t N>
class Pieces {
public:
    explicit Pieces(std::string_view text) {
        for_each_piece(text, [this](std::string_view piece) {
            if (count_ < N)
                pieces_[count_] = piece;
            ++count_;
        });
    }
    std::size_t size() const { return count_; }
    std::string_view operator[](std::size_t i) const { return pieces_[i]; }

private:
    std::array<std::string_view, N> pieces_{};
    std::size_t count_ = 0;
};

}  // namespace oxel
