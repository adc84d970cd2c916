#include "compiler/debug_info_recorder.h"

namespace oxel {

ChunkDebugInfo& DebugInfoRecorder::chunk(std::size_t index) {
    if (info_.chunks.size() <= index)
        info_.chunks.resize(index + 1);
    return info_.chunks[index];
}

void DebugInfoRecorder::statement_started(const CompileContext& context, std::size_t line) {
    auto& statements = chunk(context.current_chunk).statements;
    const StatementStart start{static_cast<std::uint32_t>(context.code_length()), context.lines[line].number,
                               context.lines.file_of(line).path};
    // Two statements at one index: the later one holds it.
    if (!statements.empty() && statements.back().at == start.at)
        statements.back() = start;
    else
        statements.push_back(start);
}

void DebugInfoRecorder::chunk_finished(const CompileContext& context, std::size_t definition) {
    ChunkDebugInfo& info = chunk(context.current_chunk);
    if (definition < context.lines.size()) {
        info.line = context.lines[definition].number;
        info.file = context.lines.file_of(definition).path;
    } else if (!context.program.sources.empty()) {
        info.file = context.program.sources.front().first;
    }
    auto& names = info.slot_names;
    names.assign(context.next_slot, std::string_view{});
    // A parameter named twice keeps the later slot; the earlier stays unnamed.
    for (const auto& [name, slot] : context.scope.slots)
        names[slot] = name;
}

}  // namespace oxel
