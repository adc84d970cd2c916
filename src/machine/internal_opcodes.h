// Opcodes the machine puts into its runnable copy of the code, numbered
// after the 45 of the instruction set. The compiler never emits them.
//
// Fused opcodes stand for a run of ordinary instructions that the compiler
// emits again and again (an assignment "load x; load y; add; store z", a
// loop's closing eight instructions, ...). The fused opcode replaces only the
// first instruction of the run; the rest stay in place behind it. When its
// operands are plain integers it does the whole run at once and skips over
// it; otherwise it does what the first instruction would have done and lets
// the originals run, so every error, line and stack effect stays exactly
// that of the unfused code, and a jump into the middle of a run still lands
// on the original instruction.
#pragma once

#include <cstdint>

#include "image/program.h"

namespace oxel {

#define OXEL_FUSED_ARITHMETIC(X) X(add) X(sub) X(mul) X(div) X(mod)
#define OXEL_FUSED_COMPARISONS(X) X(eq) X(ne) X(lt) X(le) X(gt) X(ge)

// Operand packing: two 32-bit numbers share one operand as low | high << 32.
enum class InternalOp : std::uint8_t {
    fell_off = opcode_count,  // one past the end of every chunk
    bad_slot,                 // an operand naming no slot, constant or chunk; a = that number
    bad_opcode,               // an opcode number above the instruction set; a = the number
// load x; load y; OP; store z          a = y, b = x | z << 32
// load x; push_int k; OP; store z      a = k, b = x | z << 32
// load x; push_float k; OP; store z    a = k's bits, b = x | z << 32
#define OXEL_ROW(name) name##_slots, name##_slot_int, name##_slot_float,
    OXEL_FUSED_ARITHMETIC(OXEL_ROW)
#undef OXEL_ROW
// load x; load y; CMP; jmp_false t     a = t, b = x | y << 32
// load x; push_int k; CMP; jmp_false t a = k, b = x | t << 32
#define OXEL_ROW(name) name##_slots_jump, name##_slot_int_jump,
        OXEL_FUSED_COMPARISONS(OXEL_ROW)
#undef OXEL_ROW
    // load c; push_int 1; add; store c; load c; push_int n; ge; jmp_false s
    //                                      a = n, b = c | s << 32
    sqrt_slot,  // load x; sqrt; store z           a = x, b = z
    ret_slot,   // load x; ret                     a = x
    loop_next,
    store_int,         // push_int k; store x             a = k, b = x
    copy_slot,         // load x; store y                 a = x, b = y
    get_at_slot,       // load i; arrget d, r             a = i | d << 32, b = r
    set_int_at_slot,   // push_int k; load i; arrset r    a = k, b = i | r << 32
    set_slot_at_slot,  // load v; load i; arrset r        a = v, b = i | r << 32
    end_,
};

inline constexpr int runnable_opcode_count = static_cast<int>(InternalOp::end_);

// Rewrites runs of the code (which ends with the fell_off instruction) into
// fused opcodes where they match.
void fuse_instructions(std::vector<Instruction>& code);

}  // namespace oxel
