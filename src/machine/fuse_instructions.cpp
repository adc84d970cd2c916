#include <cstdint>
#include <limits>
#include <vector>

#include "machine/internal_opcodes.h"

namespace oxel {

namespace {

using Code = std::vector<Instruction>;

bool is(const Code& code, std::size_t at, Opcode op) { return at < code.size() && code[at].op == op; }

std::int64_t pack(std::int64_t low, std::int64_t high) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) |
                                     (static_cast<std::uint64_t>(high) << 32));
}

// Slots are below 2^32 already (a chunk counts them in 32 bits); targets
// are checked, so a chunk of over 4 billion instructions just runs unfused.
bool fits(std::int64_t number) { return number >= 0 && number <= std::numeric_limits<std::uint32_t>::max(); }

Instruction fused(const Instruction& first, InternalOp op, std::int64_t a, std::int64_t b) {
    return Instruction{a, b, first.line, static_cast<Opcode>(op)};
}

int arithmetic_index(Opcode op) {
    switch (op) {
        case Opcode::add:
            return 0;
        case Opcode::sub:
            return 1;
        case Opcode::mul:
            return 2;
        case Opcode::div:
            return 3;
        case Opcode::mod:
            return 4;
        default:
            return -1;
    }
}

int comparison_index(Opcode op) {
    switch (op) {
        case Opcode::eq:
            return 0;
        case Opcode::ne:
            return 1;
        case Opcode::lt:
            return 2;
        case Opcode::le:
            return 3;
        case Opcode::gt:
            return 4;
        case Opcode::ge:
            return 5;
        default:
            return -1;
    }
}

// Each fused family lists its variants side by side, one row per
// operation in the instruction set's order, so an opcode is found by
// counting from the family's first.
InternalOp nth_fused(InternalOp first, int row, int variants, int variant) {
    return static_cast<InternalOp>(static_cast<int>(first) + row * variants + variant);
}
static_assert(static_cast<int>(InternalOp::mod_slot_float) - static_cast<int>(InternalOp::add_slots) ==
              4 * 3 + 2);
static_assert(static_cast<int>(InternalOp::ge_slot_int_jump) - static_cast<int>(InternalOp::eq_slots_jump) ==
              5 * 2 + 1);

// Second operand: 0 a slot, 1 an integer, 2 a float.
InternalOp arithmetic_op(int row, Opcode second) {
    const int variant = second == Opcode::load ? 0 : second == Opcode::push_int ? 1 : 2;
    return nth_fused(InternalOp::add_slots, row, 3, variant);
}

InternalOp comparison_op(int row, bool second_is_slot) {
    return nth_fused(InternalOp::eq_slots_jump, row, 2, second_is_slot ? 0 : 1);
}

// The fused form of the run starting at `at`, and its length; 0 for none.
std::size_t fuse_at(Code& code, std::size_t at) {
    const Instruction& first = code[at];
    auto a_of = [&](std::size_t offset) { return code[at + offset].a; };

    if (first.op == Opcode::load) {
        const std::int64_t x = first.a;
        // The closing instructions of a counted loop.
        if (is(code, at + 1, Opcode::push_int) && a_of(1) == 1 && is(code, at + 2, Opcode::add) &&
            is(code, at + 3, Opcode::store) && a_of(3) == x && is(code, at + 4, Opcode::load) &&
            a_of(4) == x && is(code, at + 5, Opcode::push_int) && is(code, at + 6, Opcode::ge) &&
            is(code, at + 7, Opcode::jmp_false) && fits(a_of(7))) {
            code[at] = fused(first, InternalOp::loop_next, a_of(5), pack(x, a_of(7)));
            return 8;
        }
        const bool slot_second = is(code, at + 1, Opcode::load);
        const bool float_second = is(code, at + 1, Opcode::push_float);
        if (slot_second || float_second || is(code, at + 1, Opcode::push_int)) {
            const std::int64_t second = a_of(1);
            if (at + 3 < code.size()) {
                const Opcode op = code[at + 2].op;
                const Instruction& last = code[at + 3];
                if (int i = arithmetic_index(op); i >= 0 && last.op == Opcode::store) {
                    code[at] = fused(first, arithmetic_op(i, code[at + 1].op), second, pack(x, last.a));
                    return 4;
                }
                if (float_second)
                    return 0;
                if (int i = comparison_index(op); i >= 0 && last.op == Opcode::jmp_false && fits(last.a)) {
                    code[at] = slot_second ? fused(first, comparison_op(i, true), last.a, pack(x, second))
                                           : fused(first, comparison_op(i, false), second, pack(x, last.a));
                    return 4;
                }
            }
            if (slot_second && is(code, at + 2, Opcode::arrset)) {
                code[at] = fused(first, InternalOp::set_slot_at_slot, x, pack(second, a_of(2)));
                return 3;
            }
        }
        if (is(code, at + 1, Opcode::store)) {
            code[at] = fused(first, InternalOp::copy_slot, x, a_of(1));
            return 2;
        }
        if (is(code, at + 1, Opcode::sqrt) && is(code, at + 2, Opcode::store)) {
            code[at] = fused(first, InternalOp::sqrt_slot, x, a_of(2));
            return 3;
        }
        if (is(code, at + 1, Opcode::ret)) {
            code[at] = fused(first, InternalOp::ret_slot, x, 0);
            return 2;
        }
        if (is(code, at + 1, Opcode::arrget)) {
            code[at] = fused(first, InternalOp::get_at_slot, pack(x, a_of(1)), code[at + 1].b);
            return 2;
        }
        return 0;
    }
    if (first.op == Opcode::push_int) {
        if (is(code, at + 1, Opcode::store)) {
            code[at] = fused(first, InternalOp::store_int, first.a, a_of(1));
            return 2;
        }
        if (is(code, at + 1, Opcode::load) && is(code, at + 2, Opcode::arrset)) {
            code[at] = fused(first, InternalOp::set_int_at_slot, first.a, pack(a_of(1), a_of(2)));
            return 3;
        }
    }
    return 0;
}

}  // namespace

void fuse_instructions(Code& code) {
    for (std::size_t at = 0; at < code.size();) {
        const std::size_t length = fuse_at(code, at);
        at += length > 0 ? length : 1;
    }
}

}  // namespace oxel
