// The machine-code tier: hot loops of the running code compiled to x86-64.
//
// A loop's close (loop_next, add_int_loop_next, a while-condition's close)
// counts its back jumps in the plain interpreter, against one countdown for
// the whole machine; when the countdown runs out at a close, the tier tries
// to compile that loop, from the close's jump target to the close, for the
// kinds its frame's slots hold then (jit_steps.h). On success the close's
// opcode becomes jit_loop, whose handler enters the compiled code at the
// close. Compiled code takes the running frame's slots and gives back the
// instruction to go on at: the one past the close when the loop ends, the
// close itself when the kinds are not those it was made for, or an
// instruction it does not compile or whose operands it did not expect (a
// divisor of 0 or -1, an index out of range), with every slot as the
// interpreter would have left it there, so the interpreter does that
// instruction and what follows. It reads and writes only slots, array
// elements and its own stack: it neither allocates nor fails, and the
// operand stack stays as it was. A loop that keeps leaving early goes back
// to the interpreter for good.
//
// OXEL_JIT in the environment: "off" (the interpreter alone), "eager" (try
// every loop at its first back jump), anything else the default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/platform.h"
#include "image/program.h"
#include "machine/internal_opcodes.h"
#include "runtime/allocation_budget.h"
#include "runtime/value.h"

// Machine code needs an x86-64 host and the computed-goto interpreter (its
// jit_loop handler goes on to the close's own handler).
#if (defined(__x86_64__) || defined(_M_X64)) && (defined(__GNUC__) || defined(__clang__)) && \
    !defined(OXEL_PORTABLE_DISPATCH)
#define OXEL_JIT_AVAILABLE 1
#endif

namespace oxel {

enum class JitMode : std::uint8_t { off, normal, eager };

// "off", "eager", or the default for anything else and for nothing.
JitMode parse_jit_mode(std::optional<std::string_view> setting);
// The process's OXEL_JIT, read once.
JitMode jit_mode_from_environment();

// Compiled code: the frame's first slot and the frames the machine has room
// for above it in, the instruction to go on at out.
using JitCode = const Instruction* (*)(Value* slots, std::uint64_t frames_free);

// What compiling a loop needs of the frame it runs in: its slots (their
// kinds), and the code of the chunks it calls, when runnable.
struct JitCallee {
    const Instruction* code = nullptr;
    std::size_t length = 0;
    std::uint32_t slot_count = 0, arity = 0;
    std::span<const std::uint32_t> zeroed;  // the slots a call sets to Int 0
};
using JitCalleeOf = std::function<std::optional<JitCallee>(std::size_t chunk)>;
struct JitFrame {
    const Value* slots = nullptr;
    JitCalleeOf callee;
};

struct JitLoop {
    JitCode code = nullptr;
    InternalOp original = InternalOp::loop_next;  // the opcode jit_loop stands in for
    std::uint32_t misses = 0;                     // entries that left before the loop's end
};

using CompiledLoops = std::unordered_map<const Instruction*, JitLoop>;

// A function compiled whole: its frame's slots (the arguments), the frames
// the machine has room for above it and where its result goes in; nullptr
// out when it returned, or its first instruction when it did not run (the
// arguments' kinds are not those it was made for, or it gave up, having
// done nothing anyone sees).
using JitFunctionCode = const Instruction* (*)(const Value* slots, std::uint64_t frames_free, Value* result);
struct JitFunction {
    JitFunctionCode code = nullptr;
    InternalOp original = InternalOp::halt;  // the opcode jit_call stands in for
    std::uint32_t misses = 0;                // calls it refused
};

// The loops and functions compiled so far, by the instruction that enters them.
struct CompiledCode {
    CompiledLoops loops;
    std::unordered_map<const Instruction*, JitFunction> functions;
    // The opcode an instruction stands for, a compiled one's own; nothing
    // for a compiled one not here.
    std::optional<InternalOp> original(const Instruction& in) const;
};

class JitTier {
public:
    // Back jumps between two looks at a loop in the default mode.
    static constexpr std::uint32_t hot_back_jumps = 1000;
    // Entries that leave early before a loop goes back to the interpreter
    // for good (its kinds keep changing under the compiled code).
    static constexpr std::uint32_t max_deopts = 64;
    // All the machine code one machine may hold.
    static constexpr std::size_t max_code_bytes = std::size_t{16} << 20;

    explicit JitTier(JitMode mode);
    ~JitTier();
    JitTier(const JitTier&) = delete;
    JitTier& operator=(const JitTier&) = delete;

    JitMode mode() const { return mode_; }
    // The run's memory, when it has a limit: code is taken from it too, and
    // a loop whose code does not fit stays interpreted.
    void set_budget(AllocationBudget* budget) { budget_ = budget; }
    // The countdown's value after each look.
    std::uint32_t countdown_start() const;

    // The countdown ran out at `close` in `frame`: compile its loop for the
    // kinds its slots hold, unless it was tried before, and make the close
    // jit_loop when that worked.
    void look_at(Instruction& close, const JitFrame& frame);
    // The loop whose close is jit_loop.
    JitLoop& loop_at(const Instruction& close) { return code_.loops.at(&close); }
    // Compiled code left before the loop's end: after too many, the close
    // goes back to its own opcode and the loop stays interpreted.
    void left_early(Instruction& close);

    // A call entered chunk `chunk`, whose first instruction is `first`, in
    // `frame`: compile it whole for its arguments' kinds, unless it was
    // tried before, and make its first instruction jit_call when that worked.
    void look_at_function(Instruction& first, std::size_t chunk, const JitFrame& frame);
    JitFunction& function_at(const Instruction& first) { return code_.functions.at(&first); }
    // Its code did not run: after too many times, the function stays interpreted.
    void refused(Instruction& first);
    std::size_t compiled_functions() const { return compiled_functions_; }

    // Loops compiled so far, those of them given up, and the code bytes held.
    std::size_t compiled_loops() const { return compiled_; }
    std::size_t given_up_loops() const { return given_up_; }
    std::size_t code_bytes() const { return code_bytes_; }

private:
    JitMode mode_;
    AllocationBudget* budget_ = nullptr;
    CompiledCode code_;
    std::unordered_set<const Instruction*> tried_;
    std::unordered_set<const Instruction*> tried_functions_;
    std::size_t compiled_functions_ = 0;
    std::vector<platform::CodeMemory> memory_;
    std::size_t compiled_ = 0;
    std::size_t given_up_ = 0;
    std::size_t code_bytes_ = 0;
    std::size_t used_ = 0;  // bytes of the newest block holding code

    template <typename Records, typename Compile>
    bool compile_at(Instruction& in, InternalOp stand_in, std::unordered_set<const Instruction*>& tried,
                    Records& records, Compile compile);
    template <typename Records>
    bool missed(Instruction& in, Records& records);
    // Made executable and counted: where the code is, or nothing.
    void* install(const std::vector<std::uint8_t>& bytes);
    // Every compiled instruction back to its own opcode, and nothing
    // compiled from now on: for when code memory can no longer be run.
    void stop_compiling();
};

// The machine code of the loop closed by `close` (a loop's close whose jump
// goes back) for the kinds its `frame` holds, or empty when the tier does
// not compile it. An instruction in it that is jit_loop or jit_call already
// is compiled as its own opcode, found in `compiled`. The code is position
// independent: it can be copied anywhere.
std::vector<std::uint8_t> compile_loop(const Instruction& close, const JitFrame& frame, const CompiledCode& compiled);
// The machine code of chunk `chunk` as a function (see jit_steps.h), for the
// kinds of the arguments in `frame`, or empty.
std::vector<std::uint8_t> compile_function(std::size_t chunk, const JitFrame& frame, const CompiledCode& compiled);

}  // namespace oxel
