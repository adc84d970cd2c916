// What each instruction of a hot loop does, in the terms the code generator
// needs (see jit_tier.h): its operands as slots or constants, the kinds it
// takes, the slot it writes and where it jumps. A loop is compiled for the
// kinds its slots hold when it gets hot; every instruction it compiles keeps
// each slot's kind, so the kinds checked on entry hold all through the
// compiled code and its values can live in registers. An instruction that
// would take other kinds, or that the tier does not compile, becomes an
// exit: the code leaves for the interpreter there, which does it.
//
// A call in the loop whose callee can run to its return without leaving,
// for the kinds of its arguments, is compiled into the loop: its steps are
// compiled as the loop's, on slots of its own that no frame of the machine
// holds (numbered from callee_slot_base), each call site its own.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "image/program.h"
#include "machine/internal_opcodes.h"
#include "machine/jit_tier.h"
#include "runtime/value.h"

namespace oxel::jit {

enum class Operation : std::uint8_t { add, sub, mul, div, mod, and_, or_, xor_, shl, shr };
// The relation under which a comparison falls through (its jump is taken
// when it does not hold).
enum class Relation : std::uint8_t { eq, ne, lt, le, gt, ge };

// An operand: a slot (its byte offset), an integer or a float's bits.
struct Source {
    enum What : std::uint8_t { slot, integer, floating } what = integer;
    std::uint64_t offset = 0;  // of the slot
    std::int64_t k = 0;
    bool is_slot() const { return what == slot; }
};

enum class Form : std::uint8_t {
    exit,        // leave for the interpreter at this instruction
    arithmetic,  // z = x OP y, Ints (wrapping, checked divisors) or Floats
    divisor,     // z = x / d or x mod d for a constant d >= 2, Ints
    compare,     // fall through when x REL y holds, else go to `target`
    bitnot,      // z = ~x
    sqrt,        // z = sqrt(x), a Float >= 0
    length,      // z = the length of the String or Array in `array`
    char_at,     // z = byte x of the String in `array`
    get,         // z = element x of the Array in `array`
    set,         // element x of the Array in `array` = y
    copy,        // z = x (of the same kind)
    jump,        // go to `target`
    jump_unless, // go to `target` when the Int x is 0
    close,       // counter += 1; back to `target` while below n (`count`)
    step_close,  // z = x + k, then the close that starts at `at + step_length`
    call,        // z = (or nothing =) the callee `body` run on `arguments`
    ret,         // the callee returns x
    recurse,     // z = (or nothing =) the compiled function itself on `arguments`
};

struct Step {
    const Instruction* at = nullptr;
    InternalOp op = InternalOp::halt;  // the opcode it stands for
    const Instruction* next = nullptr; // past its run
    Form form = Form::exit;
    Operation operation = Operation::add;
    Relation relation = Relation::eq;
    bool floats = false;  // arithmetic and compare on Floats (Ints converted)
    Source x, y;
    std::uint64_t z = 0;      // the slot written
    std::uint64_t array = 0;  // the String or Array read
    const Instruction* target = nullptr;
    // divisor: the multiply and shift; step_close: the close's counter and count
    std::int64_t multiplier = 0, divisor = 0;
    int shift = 0;
    std::uint64_t counter = 0;
    std::int64_t count = 0;
    // call: the callee's chunk, its arguments, whether the result is stored
    // in z, and the compiled body (an index into LoopSteps::bodies)
    std::size_t callee = 0;
    std::vector<Source> arguments;
    bool stores = false;
    std::size_t body = 0;
};

// The kind of each slot at a byte offset from the loop's frame: what the
// frame holds, or for the slots of a compiled callee, what the compiler
// assumes of them.
class FrameKinds {
public:
    explicit FrameKinds(const Value* slots) : slots_(slots) {}
    ValueKind of(std::uint64_t slot) const;
    // Assumes `kind` for the slot; false when another kind is assumed already.
    bool assume(std::uint64_t slot, ValueKind kind);
    // A slot whose kind its first write decides (a callee's slot that no run
    // reads before writing).
    void leave_open(std::uint64_t slot) { open_.insert(slot); }
    // Whether writing a value of `kind` keeps the slot's kind.
    bool fits(std::uint64_t slot, ValueKind kind) const;

private:
    const Value* slots_;
    // Decided as the callees' steps are read, in order.
    mutable std::map<std::uint64_t, ValueKind> assumed_;
    mutable std::set<std::uint64_t> open_;
};

// A callee compiled into the loop: its steps, with slot offsets from the
// loop's frame, and the offsets of its parameters and of the slots a call
// sets to Int 0.
struct Body {
    const Instruction* start = nullptr;
    const Instruction* end = nullptr;
    std::vector<Step> steps;
    std::vector<std::uint64_t> parameters, locals;
    int depth = 1;  // frames above the loop's
    ValueKind returns = ValueKind::Int;
};

// The steps of the loop closed by `close`, from its jump target to the
// close, for the kinds in `kinds`; nothing when the loop is not one the tier
// compiles (no backward loop, or a compiled instruction it does not know).
// An instruction that is jit_loop or jit_call is taken as its own opcode,
// from `compiled`.
struct LoopSteps {
    const Instruction* start = nullptr;
    const Instruction* end = nullptr;  // past the close's run
    std::vector<Step> steps;
    std::vector<Body> bodies;
    int depth = 0;                 // the most frames the compiled calls stack above the loop's
    std::size_t callee_slots = 0;  // the slots of all bodies
    // A function compiled whole: its body (the others are the calls it
    // compiles in); no steps of a loop then.
    std::optional<std::size_t> function;
};
// The offset of the first slot of a compiled callee: far past any frame.
inline constexpr std::uint64_t callee_slot_base = std::uint64_t{1} << 40;
// `callee_of` finds what it calls.
std::optional<LoopSteps> loop_steps(const Instruction& close, FrameKinds& kinds, const CompiledCode& compiled,
                                    const JitCalleeOf& callee_of);

// A function compiled whole, from its frame just entered (`kinds` holds
// its arguments): when every step it can reach runs without leaving, its
// calls of itself with arguments of the same kinds included, it has at
// most four parameters, all Ints or Floats, returns one of those, and
// nothing jumps back to its start. Compiled code runs it to its return or
// gives up before anything it did is seen (it writes nothing outside its
// own stack).
std::optional<LoopSteps> function_steps(std::size_t chunk, FrameKinds& kinds, const CompiledCode& compiled,
                                        const JitCalleeOf& callee_of);
inline constexpr std::size_t max_function_parameters = 4;

// Whether an arithmetic step's divisor may be one the interpreter must
// handle (0, 0.0, or -1 for Ints): one in a slot may.
bool divisor_may_fail(const Step& step);

// One instruction's step for the given kinds, with slot offsets from `base`.
Step step_of(const Instruction& in, InternalOp op, const FrameKinds& kinds, std::uint64_t base = 0);
// Whether `op` closes a loop (each has a counter, a count and a back jump).
bool is_loop_close(InternalOp op);

}  // namespace oxel::jit
