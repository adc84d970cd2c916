#include "image/program.h"

namespace oxel {

std::size_t emit(Chunk& chunk, Opcode op, std::int64_t a, std::int64_t b, std::uint32_t line) {
    chunk.code.push_back(Instruction{a, b, line, op});
    return chunk.code.size() - 1;
}

std::size_t add_string(Program& program, std::string_view bytes) {
    program.strings.push_back(bytes);
    return program.strings.size() - 1;
}

std::size_t add_chunk(Program& program, Chunk chunk) {
    program.chunks.push_back(std::move(chunk));
    std::size_t index = program.chunks.size() - 1;
    program.chunk_index[program.chunks.back().name] = index;
    return index;
}

std::string_view keep_text(Program& program, std::string text) {
    program.texts.push_back(std::move(text));
    return program.texts.back();
}

std::optional<std::size_t> find_chunk(const Program& program, std::string_view name) {
    auto found = program.chunk_index.find(name);
    if (found == program.chunk_index.end())
        return std::nullopt;
    return found->second;
}

}  // namespace oxel
