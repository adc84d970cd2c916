// Opcodes the machine puts into its runnable copy of the code, numbered
// after the 45 of the instruction set. The compiler never emits them.
#pragma once

#include <cstdint>

#include "compiler/program.h"

namespace oxel {

enum class InternalOp : std::uint8_t {
    fell_off = opcode_count,  // one past the end of every chunk
    bad_slot,                 // an operand naming no slot, constant or chunk; a = that number
    bad_opcode,               // an opcode number above the instruction set; a = the number
};

inline constexpr int runnable_opcode_count = opcode_count + 3;

}  // namespace oxel
