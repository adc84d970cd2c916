// The load-time checks of a chunk's code: whether fused code may run without
// stack checks, and which slots a call must zero.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "image/program.h"

namespace oxel {

// The stack height at every reachable index by dataflow over a chunk's code
// (operands already checked, one failing instruction past the end): true
// when each reachable instruction has one height, none pops more than there
// is and none pushes past a frame's stack. All compiler output passes; a
// hand-built image may not, and then runs unfused with every check.
bool verify_stack_heights(std::span<const Instruction> code, const Program& program);

// The slots, ascending, that some path from the chunk's entry reads before
// it writes them (parameters 0..arity-1 are written on entry): the ones a
// call must set to Int 0; every other slot is written before it is read.
// Any code is taken: unknown opcodes, slots or jump targets out of range
// give every slot from arity up. Takes the image's instructions and the
// machine's failing ones, not fused code.
std::vector<std::uint32_t> slots_read_before_written(std::span<const Instruction> code,
                                                     std::uint32_t slot_count, std::uint32_t arity);

}  // namespace oxel
