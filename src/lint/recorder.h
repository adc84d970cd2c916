// What oxel-lint records of one compilation: the files as the compiler read
// them, the stored lines as offsets into copies of those files, and every
// variable written or read, per chunk. The Recorder is the compiler's
// observer; the checks read its records after the compilation, and it owns
// the copies, so findings may quote lines after the program is gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "compiler/compile_context.h"

namespace oxel::lint {

// One file of the program: its path as the compiler spelled it, a copy of its
// text (findings outlive the compilation), and the compiler's own view of
// the text while the program lives.
struct FileCopy {
    std::string path;
    std::string text;
    std::string_view compiled;
};

// A stored line as offsets into its file's copy.
struct Line {
    std::size_t file;
    std::uint32_t number;
    std::int32_t level;
    std::size_t start;   // offset of the line's first byte (its indentation)
    std::size_t code;    // offset of the stored text
    std::size_t length;  // of the stored text
    std::size_t end;     // offset of the line's end (line feed or end of text), carriage return excluded
};

struct Write {
    std::size_t line;
    std::size_t column;  // 1-based
    std::string name;
    bool added;
};

struct ChunkUse {
    std::vector<Write> writes;
    std::unordered_set<std::string> reads;
};

// Records the compilation.
class Recorder : public CompileObserver {
public:
    void file_read(std::string_view path, std::string_view text) override;
    void lines_read(const LineList& stored, const BlockEnds& block_ends) override;
    void wrote(const CompileContext& context, std::string_view name, bool added) override;
    void read(const CompileContext& context, std::string_view name, std::uint32_t) override;

    std::vector<FileCopy> files;
    std::vector<Line> lines;
    BlockEnds ends;
    std::unordered_map<std::size_t, ChunkUse> chunks;

private:
    ChunkUse& chunk(const CompileContext& context) { return chunks[context.current_chunk]; }
    std::size_t file_named(std::string_view path) const;
    std::size_t line_at(std::size_t file, std::size_t offset) const;
};

}  // namespace oxel::lint
