// The --dump listing, byte for byte: a header line per chunk, one line per
// instruction, then the string constants, each written as is.
#include "image/listing.h"

#include <charconv>

#include "base/platform.h"

namespace oxel {

namespace {

template <typename Integer>
void append_number(std::string& out, Integer value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// Instruction indexes take at least four digits, zero-filled.
void append_index(std::string& out, std::size_t index) {
    std::size_t before = out.size();
    append_number(out, index);
    std::size_t width = out.size() - before;
    if (width < 4)
        out.insert(before, 4 - width, '0');
}

// Hands each finished line to `write`, reusing one buffer.
template <typename Write>
void for_each_line(const Program& program, Write write) {
    std::string line;
    for (std::size_t k = 0; k < program.chunks.size(); ++k) {
        const Chunk& chunk = program.chunks[k];
        line.assign("== ");
        line += chunk.name;
        line += " (chunk ";
        append_number(line, k);
        line += ", arity ";
        append_number(line, unsigned{chunk.arity});
        line += ", slots ";
        append_number(line, chunk.slots);
        line += ") ==\n";
        write(line);
        for (std::size_t j = 0; j < chunk.code.size(); ++j) {
            const Instruction& in = chunk.code[j];
            line.clear();
            append_index(line, j);
            line += "  ";
            line += opcode_name(in.op);
            line += ' ';
            append_number(line, in.a);
            line += ' ';
            append_number(line, in.b);
            line += "   ; line ";
            append_number(line, in.line);
            line += '\n';
            write(line);
        }
    }
    line.assign("-- consts (");
    append_number(line, program.strings.size());
    line += ") --\n";
    write(line);
    for (std::size_t i = 0; i < program.strings.size(); ++i) {
        line.assign("[");
        append_number(line, i);
        line += "] \"";
        line += program.strings[i];
        line += "\"\n";
        write(line);
    }
}

}  // namespace

void dump_program(const Program& program) {
    for_each_line(program, [](const std::string& line) { platform::write_stderr(line); });
}

std::string listing_text(const Program& program) {
    std::string text;
    for_each_line(program, [&](const std::string& line) { text += line; });
    return text;
}

}  // namespace oxel
