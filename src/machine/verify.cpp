#include "machine/verify.h"

#include <cstdint>
#include <vector>

#include "machine/internal_opcodes.h"
#include "machine/machine.h"

namespace oxel {

namespace {

struct StackEffect {
    int pops;
    int pushes;
};

// What one instruction of the image takes from and leaves on the stack.
StackEffect stack_effect(const Instruction& in, const Program& program) {
    using enum Opcode;
    switch (in.op) {
        case push_int:
        case push_float:
        case push_str:
        case load:
            return {0, 1};
        case store:
        case pop:
        case newarr:
        case arrget:
        case echo:
        case vga:
        case jmp_false:
        case fread:
        case fwrite:
        case ret:
            return {1, 0};
        case add:
        case sub:
        case mul:
        case div:
        case mod:
        case eq:
        case ne:
        case lt:
        case le:
        case gt:
        case ge:
        case and_:
        case or_:
        case xor_:
        case shl:
        case shr:
        case charat:
        case cmpstr:
        case cat:
            return {2, 1};
        case bitnot:
        case sqrt:
        case len:
            return {1, 1};
        case arrset:
        case echow:
        case pout:
        case fopen:
            return {2, 0};
        case input:
        case jmp:
        case fclose:
        case halt:
            return {0, 0};
        case call:
            return {program.chunks[static_cast<std::size_t>(in.a)].arity, 1};
    }
    return {0, 0};
}

// Whether the run goes on to the next instruction after `in`.
bool falls_through(Opcode op) { return op != Opcode::jmp && op != Opcode::ret && op != Opcode::halt; }

}  // namespace

bool verify_stack_heights(std::span<const Instruction> code, const Program& program) {
    std::vector<int> height(code.size(), -1);
    std::vector<std::size_t> pending;
    auto reach = [&](std::size_t at, int h) {
        if (height[at] == -1) {
            height[at] = h;
            pending.push_back(at);
            return true;
        }
        return height[at] == h;
    };
    if (code.empty() || !reach(0, 0))
        return false;
    while (!pending.empty()) {
        const std::size_t at = pending.back();
        pending.pop_back();
        const Instruction& in = code[at];
        if (static_cast<int>(in.op) >= opcode_count)
            continue;  // the machine's own failing instructions: the path ends
        const StackEffect effect = stack_effect(in, program);
        const int h = height[at];
        if (h < effect.pops)
            return false;
        const int after = h - effect.pops + effect.pushes;
        if (after > static_cast<int>(max_stack))
            return false;
        if (in.op == Opcode::jmp || in.op == Opcode::jmp_false) {
            if (!reach(static_cast<std::size_t>(in.a), after))
                return false;
        }
        if (falls_through(in.op) && !reach(at + 1, after))
            return false;
    }
    return true;
}

}  // namespace oxel
