// Shorthands for the compiler unit tests: compile a source text in-process and
// look at the result as opcode names, listing lines or the one failure.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "image/listing.h"

namespace oxel::test {

inline Program compile_text(std::string source, std::string_view path = "main.ox") {
    return compile_program(std::move(source), path);
}

// "push_int 5, store 0": each instruction of the chunk as its name and
// operand a, the operand left out where it is 0 and means nothing.
inline std::string code_of(const Program& program, std::string_view chunk_name) {
    auto index = find_chunk(program, chunk_name);
    if (!index)
        return "<no chunk " + std::string(chunk_name) + ">";
    std::string text;
    for (const Instruction& in : program.chunks[*index].code) {
        if (!text.empty())
            text += ", ";
        text += opcode_name(in.op);
        const bool uses_a = facts_of(in.op).a != Operand::none;
        if (uses_a)
            text += " " + std::to_string(in.a);
        if (in.b != 0)
            text += "/" + std::to_string(in.b);
    }
    return text;
}

// The top-level code without its closing halt.
inline std::string top_code(std::string source) {
    std::string code = code_of(compile_text(std::move(source)), "__top");
    std::string_view halt = ", halt";
    if (code.ends_with(halt))
        code.resize(code.size() - halt.size());
    else if (code == "halt")
        code.clear();
    return code;
}

// "message @ line" or "message @ line (file)"; "compiled" when there was no failure.
inline std::string failure_of(std::string source, std::string_view path = "main.ox") {
    try {
        compile_text(std::move(source), path);
    } catch (const Failure& failure) {
        std::string text = failure.message + " @ " + std::to_string(failure.where.line);
        if (!failure.report_file.empty())
            text += " (" + failure.report_file + ")";
        return text;
    }
    return "compiled";
}

}  // namespace oxel::test
