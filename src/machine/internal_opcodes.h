// The runnable instruction set: the 45 opcodes of the program image, then the
// machine's own, numbered after them. The compiler never emits these.
//
// A fused opcode stands for a run of ordinary instructions that the compiler
// emits again and again (an assignment "load x; load y; add; store z", a
// loop's closing eight instructions, ...). It replaces only the first
// instruction of the run; the rest stay in place behind it. When its operands
// are of the expected kinds it does the whole run at once and skips over it;
// otherwise it does what the first instruction would have done and lets the
// originals run, so every error, line and stack effect stays exactly that of
// the unfused code, and a jump into the middle of a run still lands on the
// original instruction.
//
// Every fused opcode is declared once, in OXEL_FUSED_FORMS: its name, how the
// run's operands are packed into the fused instruction, and the run itself as
// a list of opcodes. The enum, the interpreter's dispatch table, the length
// of the run a handler skips and the matcher that finds runs all derive from
// that one list.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "image/program.h"

namespace oxel {

// How a fused instruction holds the operands of its run. i0, i1 are the
// run's first two instructions, last its last; "x | y << 32" packs two
// 32-bit numbers (slots or jump targets) into one operand.
enum class Layout : std::uint8_t {
    xyz,         // a = i0.a | i1.a << 32, b = last.a
    xkz,         // a = i1.a (a constant),  b = i0.a | last.a << 32
    kyz,         // a = i0.a (a constant),  b = i1.a | last.a << 32
    xz,          // a = i0.a, b = last.a
    call,        // load x; call f:           a = f, b = x
                 // load x; load y; call f:   a = f, b = x | y << 32
    get_x,       // load i; arrget d, r:      a = i | d << 32, b = r
    get_k,       // push_int k; arrget d, r:  a = k, b = d | r << 32
    divisor,     // load x; push_int d; OP; store z, d >= 2:
                 //   a = d, b = x | z << 32; the run's push_int gets the
                 //   multiplier in b and its OP the shift in a (both unused
                 //   there), see constant_divisor.h
    loop,        // load c; push_int 1; add; store c; load c; push_int n; ge; jmp_false s
                 //                           a = n, b = c | s << 32
    step_loop,   // load x; push_int k; add; store z; then a loop's close as above:
                 //   a = n, b = c | s << 32; x rides in the first add's a
                 //   (unused there), k and z stay in their instructions; the
                 //   close is fused on its own too, for jumps into it
    while_loop,  // a loop's close whose target is its fused while-condition,
                 //   which ends the loop by jumping just past the close:
                 //   never matched as a run, made from a fused close by
                 //   fuse_instructions; operands as `loop`
};

// Jump targets in a fused instruction are byte offsets from the fused
// instruction itself, as a signed 32-bit number wherever a packed 32-bit
// half holds one; the unfused jmp and jmp_false hold the target's address.

// Rows in matching order: at each index the first row whose run is there
// wins, so a longer run must come before a shorter one it begins with.
// X(name, layout, opcodes of the run...)
// One operation on a slot, an integer or a float, in either order, ended
// by `last`: a store for arithmetic, a jump for a comparison.
#define OXEL_FUSED_OPERAND_ROWS(X, op, suffix, last)            \
    X(op##_slots##suffix, xyz, load, load, op, last)            \
    X(op##_slot_int##suffix, xkz, load, push_int, op, last)     \
    X(op##_slot_float##suffix, xkz, load, push_float, op, last) \
    X(op##_int_slot##suffix, kyz, push_int, load, op, last)     \
    X(op##_float_slot##suffix, kyz, push_float, load, op, last)
#define OXEL_FUSED_ARITHMETIC_ROWS(X, op) OXEL_FUSED_OPERAND_ROWS(X, op, , store)
#define OXEL_FUSED_COMPARISON_ROWS(X, op) OXEL_FUSED_OPERAND_ROWS(X, op, _jump, jmp_false)
#define OXEL_FUSED_BITWISE_ROWS(X, op)               \
    X(op##_slots, xyz, load, load, op, store)        \
    X(op##_slot_int, xkz, load, push_int, op, store) \
    X(op##_int_slot, kyz, push_int, load, op, store)
// A loop's close: step the counter by one, go back while below the count.
#define OXEL_LOOP_CLOSE load, push_int, add, store, load, push_int, ge, jmp_false
// A loop's close folded with its while-condition "x CMP y" or "x CMP k".
#define OXEL_FUSED_WHILE_ROWS(X, op)                      \
    X(op##_slots_while_next, while_loop, OXEL_LOOP_CLOSE) \
    X(op##_slot_int_while_next, while_loop, OXEL_LOOP_CLOSE)

#define OXEL_FUSED_FORMS(X)                                                      \
    X(loop_next, loop, OXEL_LOOP_CLOSE)                                          \
    X(add_int_loop_next, step_loop, load, push_int, add, store, OXEL_LOOP_CLOSE) \
    OXEL_FUSED_ARITHMETIC_ROWS(X, add)                                           \
    OXEL_FUSED_ARITHMETIC_ROWS(X, sub)                                           \
    OXEL_FUSED_ARITHMETIC_ROWS(X, mul)                                           \
    X(div_slot_divisor, divisor, load, push_int, div, store)                     \
    X(mod_slot_divisor, divisor, load, push_int, mod, store)                     \
    OXEL_FUSED_ARITHMETIC_ROWS(X, div)                                           \
    OXEL_FUSED_ARITHMETIC_ROWS(X, mod)                                           \
    OXEL_FUSED_COMPARISON_ROWS(X, eq)                                            \
    OXEL_FUSED_COMPARISON_ROWS(X, ne)                                            \
    OXEL_FUSED_COMPARISON_ROWS(X, lt)                                            \
    OXEL_FUSED_COMPARISON_ROWS(X, le)                                            \
    OXEL_FUSED_COMPARISON_ROWS(X, gt)                                            \
    OXEL_FUSED_COMPARISON_ROWS(X, ge)                                            \
    OXEL_FUSED_WHILE_ROWS(X, eq)                                                 \
    OXEL_FUSED_WHILE_ROWS(X, ne)                                                 \
    OXEL_FUSED_WHILE_ROWS(X, lt)                                                 \
    OXEL_FUSED_WHILE_ROWS(X, le)                                                 \
    OXEL_FUSED_WHILE_ROWS(X, gt)                                                 \
    OXEL_FUSED_WHILE_ROWS(X, ge)                                                 \
    OXEL_FUSED_BITWISE_ROWS(X, and_)                                             \
    OXEL_FUSED_BITWISE_ROWS(X, or_)                                              \
    OXEL_FUSED_BITWISE_ROWS(X, xor_)                                             \
    OXEL_FUSED_BITWISE_ROWS(X, shl)                                              \
    OXEL_FUSED_BITWISE_ROWS(X, shr)                                              \
    X(bitnot_slot, xz, load, bitnot, store)                                      \
    X(len_slot, xz, load, len, store)                                            \
    X(char_slots, xyz, load, load, charat, store)                                \
    X(char_slot_int, xkz, load, push_int, charat, store)                         \
    X(cat_slots, xyz, load, load, cat, store)                                    \
    X(cat_slot_str, xkz, load, push_str, cat, store)                             \
    X(cat_str_slot, kyz, push_str, load, cat, store)                             \
    X(cmp_slots, xyz, load, load, cmpstr, store)                                 \
    X(set_slot_at_slot, xyz, load, load, arrset)                                 \
    X(set_slot_at_int, xkz, load, push_int, arrset)                              \
    X(set_int_at_slot, kyz, push_int, load, arrset)                              \
    X(jump_unless_slot, xz, load, jmp_false)                                     \
    X(copy_slot, xz, load, store)                                                \
    X(call_slot, call, load, call)                                               \
    X(call_slots, call, load, load, call)                                        \
    X(sqrt_slot, xz, load, sqrt, store)                                          \
    X(ret_slot, xz, load, ret)                                                   \
    X(get_at_slot, get_x, load, arrget)                                          \
    X(get_at_int, get_k, push_int, arrget)                                       \
    X(store_int, xz, push_int, store)                                            \
    X(store_float, xz, push_float, store)                                        \
    X(store_str, xz, push_str, store)

// The machine's own instructions outside the table of runs:
//   fell_off    one past the end of every chunk: "Fell off chunk"
//   bad_slot    an operand naming no slot, constant or chunk; a = that number
//   bad_opcode  an opcode number above the instruction set; a = the number
//   call_args   a call's argument pushes and the call, when the first
//               argument is a load and the others load or push constants:
//               a = the chunk, b = first slot | count << 32. The run's
//               length depends on the count (see run_length_of); the other
//               pushes stay in place and are read from there.
#define OXEL_MACHINE_OPS(X) X(fell_off) X(bad_slot) X(bad_opcode) X(call_args)

enum class InternalOp : std::uint8_t {
    first_ = opcode_count - 1,
#define OXEL_ROW(name) name,
    OXEL_MACHINE_OPS(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name, layout, ...) name,
        OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
            end_,
};

inline constexpr int runnable_opcode_count = static_cast<int>(InternalOp::end_);
static_assert(static_cast<int>(InternalOp::fell_off) == opcode_count);
static_assert(runnable_opcode_count <= 256, "opcodes are one byte");

// The runs, as arrays of opcodes named after their fused opcode.
namespace fused_runs {
using enum Opcode;
#define OXEL_ROW(name, layout, ...) inline constexpr Opcode name[] = {__VA_ARGS__};
OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
}  // namespace fused_runs

// How many instructions of the compiled code an opcode stands for: the length
// of its run for a fused opcode, 1 for any other.
inline constexpr int run_lengths[runnable_opcode_count] = {
#define OXEL_ROW(name, text) 1,
    OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name) 1,
        OXEL_MACHINE_OPS(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name, layout, ...) static_cast<int>(std::size(fused_runs::name)),
            OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
};
constexpr int run_length(InternalOp op) { return run_lengths[static_cast<int>(op)]; }
// The same for the instruction at hand, call_args included.
inline std::size_t run_length_of(const Instruction& in) {
    if (in.op == static_cast<Opcode>(InternalOp::call_args))
        return static_cast<std::size_t>(static_cast<std::uint64_t>(in.b) >> 32) + 1;
    return static_cast<std::size_t>(run_lengths[static_cast<std::uint8_t>(in.op)]);
}

// One fused form as data, for the matcher and for tests.
struct FusedForm {
    InternalOp op;
    std::string_view name;
    Layout layout;
    std::span<const Opcode> run;
};
inline constexpr FusedForm fused_forms[] = {
#define OXEL_ROW(name, layout_, ...) {InternalOp::name, #name, Layout::layout_, fused_runs::name},
    OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
};

// The name of any runnable opcode: the listing's text for the instruction
// set, the row name for the machine's own.
std::string_view runnable_opcode_name(std::uint8_t op);

// Rewrites runs of the code (which ends with the fell_off instruction) into
// fused opcodes where they match.
void fuse_instructions(std::vector<Instruction>& code);

}  // namespace oxel
