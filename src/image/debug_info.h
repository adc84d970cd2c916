// What a tool needs of a program beyond its code: for each chunk, where its
// statements start and which slot holds which variable. The compiler records
// it only when asked (see DebugInfoRecorder); oxelc never builds it, and the
// image and its listing are the same with or without it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace oxel {

// One statement's code begins at instruction `at` of its chunk. A line's
// statement may start in more than one place: a loop's line starts once on
// entry and again at each pass of its close.
struct StatementStart {
    std::uint32_t at;    // instruction index in the chunk
    std::uint32_t line;  // 1-based, in `file`
    std::string_view file;  // the file the line is in, as opened
};

struct ChunkDebugInfo {
    // Where the function is defined; line 0 and the main file for the top level.
    std::uint32_t line = 0;
    std::string_view file;
    std::vector<StatementStart> statements;  // ascending `at`, each at a different index
    // Variable names by slot; an empty name for a slot no name holds (a
    // loop's counter). Parameters come first.
    std::vector<std::string_view> slot_names;
};

// By chunk index, as Program::chunks.
struct DebugInfo {
    std::vector<ChunkDebugInfo> chunks;
};

}  // namespace oxel
