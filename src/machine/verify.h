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

// The slots, ascending, that a call must set to Int 0: those some path from
// the chunk's entry reads before it writes them (parameters 0..arity-1 are
// written on entry); every other slot is written before it is read. Exact
// for code whose loops are entered at their head (all compiler output); for
// other code a superset, the locals the code names. Takes the image's
// instructions and the machine's failing ones, on which a path ends, as do
// a slot operand out of range and a jump out of range (the machine fails
// there); fused or other unknown code gives every slot from arity up.
std::vector<std::uint32_t> slots_read_before_written(std::span<const Instruction> code,
                                                     std::uint32_t slot_count, std::uint32_t arity);

// The same for chunk after chunk, keeping its buffers from one to the next;
// what `find` returns lasts until its next call.
class SlotsReadFirst {
public:
    std::span<const std::uint32_t> find(std::span<const Instruction> code, std::uint32_t slot_count,
                                        std::uint32_t arity);

private:
    bool find_in_one_pass(std::span<const Instruction> code, std::uint32_t slot_count, std::uint32_t arity);

    struct BackJump {
        std::uint32_t target, state;
    };
    std::vector<BackJump> back_;
    std::vector<std::uint32_t> state_at_;
    std::vector<std::uint64_t> pool_;
    std::vector<std::uint8_t> read_first_;
    std::vector<std::uint32_t> result_;
    std::vector<std::uint64_t> out_;
};

}  // namespace oxel
