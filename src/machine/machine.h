// The machine state of one run: the program image it runs (read only), the
// run's heap of strings and arrays, its files, and the call stack. The call
// stack is set up once as one block: 64 frames, each with its own 512-value
// operand stack, and one slot area from which each call takes its callee's
// slots, so a push, a load or a call allocates nothing.
//
// The heap's roots are the active frames: every slot of each, and each
// operand stack up to its `top`. A slot that its call has not written yet
// may still hold what an earlier call left there (a call zeroes only the
// slots it may read before writing them). Nothing reads such a value; the
// heap marks it only while it is still one of its objects, so the scan never
// follows freed memory, and at worst an object stays until the slot is
// written or the call returns. An instruction that allocates first writes
// the running frame's `top` back, and passes the values it popped and still
// reads to the runtime, which keeps them through a collection. A returned
// value goes into the caller's slot or stack before anything allocates.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "base/error_report.h"
#include "image/debug_info.h"
#include "image/program.h"
#include "machine/internal_opcodes.h"
#include "machine/jit_tier.h"
#include "machine/run_observer.h"
#include "runtime/files.h"
#include "runtime/heap.h"
#include "runtime/value.h"

namespace oxel {

inline constexpr std::size_t max_frames = 64;
inline constexpr std::size_t max_stack = 512;  // values on one frame's operand stack

struct Frame {
    const Chunk* chunk = nullptr;
    const Instruction* ip = nullptr;  // next instruction
    Value* slots = nullptr;           // parameters first, then the locals
    std::uint32_t slot_count = 0;
    Value* stack = nullptr;  // this frame's own operand stack
    Value* top = nullptr;    // one past the top value
};

// The line charged to a runtime error: that of the instruction being
// executed, the one before `ip`, because the loop advances ip first. After a
// return it is the caller's `call`.
inline std::uint32_t current_line(const Instruction* ip) { return ip[-1].line; }

// Limits for runs that must end, set only by tests and fuzzers (0: none).
// `steps` counts taken jumps and calls, the same with fusing on or off;
// the one past it throws StepBudgetExhausted. `bytes` bounds what strings
// and arrays take; past it std::bad_alloc, as when memory runs out.
struct RunLimits {
    std::uint64_t steps = 0;
    std::size_t bytes = 0;
};
struct StepBudgetExhausted {};

class Machine {
public:
    // Takes the program over and turns its code into runnable code in
    // place. `fuse`: run common instruction runs as one (see
    // internal_opcodes.h); off only to check that fusing changes nothing.
    explicit Machine(Program program, bool fuse = true, RunLimits limits = {});
    // The observed machine: the same, with the program's debug information,
    // to run under a RunObserver (run_observer.h). Fused only within statements.
    Machine(Program program, DebugInfo debug_info);
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // Runs "__top" until halt or the last ret. A runtime error throws Failure.
    void run();
    // The same, counting the instructions dispatched (a fused run counts
    // once): for tests that pin how many a loop takes.
    std::uint64_t run_counting_dispatches();
    // The same, reporting to `observer`; only on an observed machine.
    void run(RunObserver& observer);

    // The code of chunk `index` as the loop runs it, one past the end
    // included; made runnable now if no call has made it so yet.
    std::span<const Instruction> runnable_code(std::size_t index) {
        prepare_chunk(index);
        return program.chunks[index].code;
    }
    // Whether chunk `index` has been made runnable (tests).
    bool prepared(std::size_t index) const { return prepared_[index] != 0; }

    // The machine-code tier: OXEL_JIT's setting unless a test sets another
    // before the run; the loops it runs as machine code.
    void set_jit_mode(JitMode mode);
    const JitTier& jit() const { return *jit_; }
    // The chunk a frame runs, as an index into program.chunks and debug.chunks.
    std::uint32_t chunk_index(const Frame& frame) const {
        return static_cast<std::uint32_t>(frame.chunk - program.chunks.data());
    }
    // The statement a frame is in: the last one starting at or before the
    // instruction it runs (ip[-1]); none before the first, or on a machine
    // without debug information.
    const StatementStart* statement_of(const Frame& frame) const;

    Program program;
    DebugInfo debug;  // empty but on an observed machine
    Heap heap;
    FileTable files;
    std::unique_ptr<Frame[]> frames;
    std::uint64_t frame_count = 0;

private:
    // What a call needs of each chunk, in one place. Its code is the
    // chunk's own, made runnable in place on its first call (the top level's
    // up front), so a program pays nothing for functions it never calls:
    // operands checked once (bad slots, constants and chunks become
    // instructions that fail when reached, jumps out of range lead to the
    // end), one instruction past the end that fails with "Fell off chunk",
    // and fused where it verifies. Until then `code` is the chunk's
    // enter_unprepared instruction and `zeroed_count` 0: that instruction
    // prepares the chunk and zeroes what the call would have.
    struct RunnableChunk {
        const Instruction* code;
        const Chunk* chunk;
        const std::uint32_t* zeroed;  // the slots a call sets to Int 0 (in zeroed_slots_)
        std::uint32_t slot_count;     // max(slots, arity, 1)
        std::uint32_t arity;
        std::uint32_t zeroed_count;
        // Observed machines only: per instruction, its statement's index
        // plus one where a statement starts there, else 0.
        const std::uint32_t* statement_marks = nullptr;
    };
    std::vector<RunnableChunk> runnable_;
    // Per chunk, the slots that some path reads before writing them (see
    // slots_read_before_written): a call zeroes only these, so the others
    // start with whatever an earlier call left there, which nothing reads.
    // A deque: a chunk prepared later never moves the lists of others.
    std::deque<std::vector<std::uint32_t>> zeroed_slots_;
    // Each chunk's enter_unprepared instruction.
    std::vector<Instruction> entries_;
    std::vector<std::uint8_t> prepared_;
    bool fuse_ = true;
    // The homes of RunnableChunk::statement_marks.
    std::vector<std::vector<std::uint32_t>> statement_marks_;
    RunObserver* observer_ = nullptr;
    // What fused instructions hold beyond their operands, at fixed addresses.
    FusedOperands fused_operands_;
    std::unique_ptr<Value[], void (*)(void*)> stacks_;
    std::unique_ptr<Value[], void (*)(void*)> slot_area_;

    std::unique_ptr<JitTier> jit_;
    // Back jumps of loop closes until the tier next looks at one, and calls
    // until it next looks at a function (apart, so that neither hides the
    // other however a loop's calls and back jumps interleave).
    std::uint32_t jit_countdown_ = 0;
    std::uint32_t jit_call_countdown_ = 0;
    // The countdown ran out at the close `in` (the plain run only).
    void jit_look_at(const Instruction* in, const Value* slots);
    // Runs the compiled loop whose close is `in`; where to go on.
    const Instruction* jit_entered(const Instruction* in, Value* slots);
    // A call entered chunk `chunk` with the countdown run out.
    void jit_look_at_function(std::size_t chunk, const Value* slots);
    // Runs the compiled function whose first instruction is `in` on the
    // frame's slots: whether it returned (its result in `result`).
    bool jit_called(const Instruction* in, const Value* slots, Value& result);
    JitFrame jit_frame(const Value* slots);

    bool observable_;
    bool budgeted_;
    std::uint64_t steps_left_;
    AllocationBudget budget_;

    Machine(Program program, DebugInfo debug_info, bool observable, bool fuse, RunLimits limits);
    void prepare();
    void prepare_chunk(std::size_t index);
    void mark_statements(std::size_t chunk);
    // The interpreter loop. `counting` counts dispatches (tests only);
    // `budgeted` spends steps_left_ (tests and fuzzers only); `observed`
    // reports to observer_ (tools only). oxelc runs the form with none.
    template <bool counting, bool budgeted, bool observed = false>
    std::uint64_t execute();
    // The heap's root scanner: the slots and operand stacks of the frames.
    static void mark_frames(void* machine, RootVisitor& roots);
    // Fills the failure's chain of calls from the active frames, once the
    // failure's own place is known; each caller is at its call's line.
    void record_calls(Failure& failure) const;
};

// Runs the program from its top-level chunk; "No code" if it has none.
void run(Program program);

// Completes the place of a failure raised while the code of a chunk defined in
// `chunk_file` ran (empty for the top level, which is the main file's): that
// file, also named in the report for function bodies, and the columns of the
// statement on the failing line, first non-blank byte to the end of its code.
// (A body that runs on into the next header is placed in its definition's
// file: the loop keeps no file per line.) Faults of the
// image itself (bad opcode or slot, falling off a chunk, stack faults) and
// lines of an image built without its source keep column 0. Work done only
// when a failure is made; the loop keeps nothing for it.
void place_run_time_failure(Failure& failure, const Program& program, std::string_view chunk_file);

}  // namespace oxel
