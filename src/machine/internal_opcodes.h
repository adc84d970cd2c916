// The runnable instruction set: the 45 opcodes of the program image, then the
// machine's own, numbered after them, in one list (OXEL_RUNNABLE_OPS). The
// compiler never emits the machine's own.
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
//
// Slot operands in runnable code, fused or not, are byte offsets from the
// running frame's first slot (see slot_at in handler_support.h).
#pragma once

#include <cstdint>
#include <deque>
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
                 //   (so also push_int k; fread d, r)
    divisor,     // load x; push_int d; OP; store z, d >= 2:
                 //   a = the address of d's DivisorOperands (see
                 //   FusedOperands), b = x | z << 32
    loop,        // load c; push_int 1; add; store c; load c; push_int n; ge; jmp_false s
                 //                           a = n, b = c | s << 32
    step_loop,   // load x; push_int k; add; store z; then a loop's close as above:
                 //   a = x, b = c | s << 32; k, z and n stay in their own
                 //   instructions (push_int, store, push_int), where the
                 //   handler reads them; the close is fused on its own too,
                 //   for jumps into it
    while_loop,  // a loop's close whose target is its fused while-condition,
                 //   which ends the loop by jumping just past the close:
                 //   never matched as a run, made from a fused close by
                 //   fuse_instructions; operands as `loop`
    arguments,   // load x, then up to 254 loads and constant pushes, then
                 //   call f: a = f, b = x | count << 32, count the arguments;
                 //   the run's length is count + 1 (see run_length_of), and
                 //   the other pushes stay in place and are read from there
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
// A comparison also takes a string constant on either side.
#define OXEL_FUSED_COMPARISON_ROWS(X, op)                     \
    OXEL_FUSED_OPERAND_ROWS(X, op, _jump, jmp_false)          \
    X(op##_slot_str_jump, xkz, load, push_str, op, jmp_false) \
    X(op##_str_slot_jump, kyz, push_str, load, op, jmp_false)
#define OXEL_FUSED_BITWISE_ROWS(X, op)               \
    X(op##_slots, xyz, load, load, op, store)        \
    X(op##_slot_int, xkz, load, push_int, op, store) \
    X(op##_int_slot, kyz, push_int, load, op, store)
// A loop's close: step the counter by one, go back while below the count
// (the push_int at loop_count_at).
#define OXEL_LOOP_CLOSE load, push_int, add, store, load, push_int, ge, jmp_false
// A loop's close folded with its while-condition "x CMP y" or "x CMP k".
#define OXEL_FUSED_WHILE_ROWS(X, op)                      \
    X(op##_slots_while_next, while_loop, OXEL_LOOP_CLOSE) \
    X(op##_slot_int_while_next, while_loop, OXEL_LOOP_CLOSE)
// The comparisons, each with its C++ relation: M(X, name, relation).
#define OXEL_COMPARISONS(M, X) M(X, eq, ==) M(X, ne, !=) M(X, lt, <) M(X, le, <=) M(X, gt, >) M(X, ge, >=)
#define OXEL_FUSED_COMPARISON_ROWS_OF(X, op, relation) OXEL_FUSED_COMPARISON_ROWS(X, op)
#define OXEL_FUSED_WHILE_ROWS_OF(X, op, relation) OXEL_FUSED_WHILE_ROWS(X, op)

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
    OXEL_COMPARISONS(OXEL_FUSED_COMPARISON_ROWS_OF, X)                           \
    OXEL_COMPARISONS(OXEL_FUSED_WHILE_ROWS_OF, X)                                \
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
    X(fread_int, get_k, push_int, fread)                                         \
    X(store_int, xz, push_int, store)                                            \
    X(store_float, xz, push_float, store)                                        \
    X(store_str, xz, push_str, store)                                            \
    X(call_args, arguments, load, call)

// The machine's own instructions that fail when reached:
//   fell_off    one past the end of every chunk: "Fell off chunk"
//   bad_slot    an operand naming no slot, constant or chunk; a = that number
//   bad_opcode  an opcode number above the instruction set; a = the number
#define OXEL_FAILING_OPS(X) X(fell_off) X(bad_slot) X(bad_opcode)
// The machine's own instructions that do something else first:
//   enter_unprepared  what a chunk's code starts as until its first call:
//                     it makes the code runnable, then enters it; a = the chunk
//   jit_loop          a loop's close whose loop runs as machine code (see
//                     jit_tier.h); operands those of the close it replaced
//   jit_call          a function's first instruction, the function running
//                     as machine code; operands those of the one it replaced
#define OXEL_MACHINE_OPS(X) X(enter_unprepared) X(jit_loop) X(jit_call)

// Every runnable opcode in numbering order: the image's rows (IMAGE(name,
// facts...)), the machine's own (OWN(name): the failing ones, then the
// others), the fused forms (FUSED(name, layout, run...)). The enum, the
// names, the run lengths and the dispatch table are made from this list and
// nothing else.
#define OXEL_RUNNABLE_OPS(IMAGE, OWN, FUSED) \
    OXEL_OPCODES(IMAGE) OXEL_FAILING_OPS(OWN) OXEL_MACHINE_OPS(OWN) OXEL_FUSED_FORMS(FUSED)

// Runnable code holds these in Instruction::op. Prepared code holds no other
// byte: prepare turns a number past the instruction set into bad_opcode, and
// fusing writes only these.
enum class InternalOp : std::uint8_t {
#define OXEL_ROW(name, ...) name,
    OXEL_RUNNABLE_OPS(OXEL_ROW, OXEL_ROW, OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr std::string_view runnable_opcode_names[] = {
#define OXEL_ROW(name, ...) #name,
    OXEL_RUNNABLE_OPS(OXEL_ROW, OXEL_ROW, OXEL_ROW)
#undef OXEL_ROW
};
inline constexpr int runnable_opcode_count = static_cast<int>(std::size(runnable_opcode_names));
static_assert(static_cast<int>(InternalOp::halt) == static_cast<int>(Opcode::halt));
static_assert(static_cast<int>(InternalOp::fell_off) == opcode_count);
static_assert(runnable_opcode_count <= 256, "opcodes are one byte");

constexpr Opcode as_opcode(InternalOp op) { return static_cast<Opcode>(op); }

// Whether the instruction is one of the machine's failing ones.
constexpr bool is_failing(InternalOp op) {
#define OXEL_ROW(name) op == InternalOp::name ||
    return OXEL_FAILING_OPS(OXEL_ROW) false;
#undef OXEL_ROW
}

// The runs, as arrays of opcodes named after their fused opcode.
namespace fused_runs {
using enum Opcode;
#define OXEL_ROW(name, layout, ...) inline constexpr Opcode name[] = {__VA_ARGS__};
OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
}  // namespace fused_runs

// How many instructions of the compiled code an opcode stands for: the length
// of its run for a fused opcode (the shortest, for call_args), 1 for any other.
inline constexpr int run_lengths[runnable_opcode_count] = {
#define OXEL_ONE(...) 1,
#define OXEL_RUN(name, layout, ...) static_cast<int>(std::size(fused_runs::name)),
    OXEL_RUNNABLE_OPS(OXEL_ONE, OXEL_ONE, OXEL_RUN)
#undef OXEL_ONE
#undef OXEL_RUN
};
constexpr int run_length(InternalOp op) { return run_lengths[static_cast<int>(op)]; }
// A call_args instruction: the arguments it passes, the first a load and
// the others these pushes, which its handler reads in place; its run is
// them and the call.
inline constexpr Opcode call_argument_pushes[] = {Opcode::load, Opcode::push_int, Opcode::push_float,
                                                  Opcode::push_str};
inline std::uint32_t call_arguments(const Instruction& in) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(in.b) >> 32);
}
inline std::size_t call_args_length(const Instruction& in) { return std::size_t{call_arguments(in)} + 1; }
// The run length for the instruction at hand, call_args included.
inline std::size_t run_length_of(const Instruction& in) {
    if (in.op == as_opcode(InternalOp::call_args))
        return call_args_length(in);
    return static_cast<std::size_t>(run_lengths[static_cast<std::uint8_t>(in.op)]);
}

// Where a loop's close pushes its count.
inline constexpr int loop_count_at = 5;
static_assert(fused_runs::loop_next[loop_count_at] == Opcode::push_int);

// add_int_loop_next's run is a step (load, push_int, add, store) and then
// loop_next's run: the fuser fuses that close on its own too, just past the
// step, and the handler goes on there when the counter is no Int.
inline constexpr int step_length =
    run_length(InternalOp::add_int_loop_next) - run_length(InternalOp::loop_next);
// Where its step holds k and z, read in place.
inline constexpr int step_constant_at = 1, step_result_at = 3;
static_assert(fused_runs::add_int_loop_next[step_constant_at] == Opcode::push_int);
static_assert(fused_runs::add_int_loop_next[step_result_at] == Opcode::store);

// A loop's close whose jump back lands on a fused while-condition is folded
// with it: each comparison's condition form and the close that evaluates it.
struct WhileFold {
    InternalOp condition, close;
};
inline constexpr WhileFold while_folds[] = {
#define OXEL_FOLD(X, op, relation)                                    \
    {InternalOp::op##_slots_jump, InternalOp::op##_slots_while_next}, \
        {InternalOp::op##_slot_int_jump, InternalOp::op##_slot_int_while_next},
    OXEL_COMPARISONS(OXEL_FOLD, _)
#undef OXEL_FOLD
};
// The condition form a folded close evaluates.
constexpr InternalOp folded_condition(InternalOp close) {
    for (const WhileFold& fold : while_folds)
        if (fold.close == close)
            return fold.condition;
    return close;
}

// The operands of a fused division by a constant that do not fit in its
// instruction, kept by the machine for as long as the code runs.
struct DivisorOperands {
    std::int64_t divisor;     // d >= 2
    std::int64_t multiplier;  // see constant_divisor.h
    std::int64_t shift;
};
// The homes of the fused forms' operands beyond a and b. A deque: an entry
// never moves, so an instruction can hold its address.
struct FusedOperands {
    std::deque<DivisorOperands> divisors;
};

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
// set, the row name for the machine's own; "?" past them.
inline std::string_view runnable_opcode_name(std::uint8_t op) {
    return op < runnable_opcode_count ? runnable_opcode_names[op] : std::string_view("?");
}

// Rewrites runs of the code (which ends with the fell_off instruction) into
// fused opcodes where they match; what does not fit in an instruction goes
// into `operands`. Where `boundaries` is given (one entry per instruction), no
// run takes in an instruction whose entry is non-zero but as its first, and
// no close is folded with a condition that starts at one: an observer then
// sees every such instruction dispatched.
void fuse_instructions(std::vector<Instruction>& code, FusedOperands& operands,
                       std::span<const std::uint32_t> boundaries = {});

}  // namespace oxel
