// The load-time check that lets fused code run without stack checks.
#pragma once

#include <span>

#include "image/program.h"

namespace oxel {

// The stack height at every reachable index by dataflow over a chunk's code
// (operands already checked, one failing instruction past the end): true
// when each reachable instruction has one height, none pops more than there
// is and none pushes past a frame's stack. All compiler output passes; a
// hand-built image may not, and then runs unfused with every check.
bool verify_stack_heights(std::span<const Instruction> code, const Program& program);

}  // namespace oxel
