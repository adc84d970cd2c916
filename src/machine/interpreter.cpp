// The interpreter loop. Hot state lives in locals (ip, top, stack, slots);
// it is written back to the running Frame only on call and return. Every
// error is charged to the line of the instruction being executed (`in`,
// ip[-1] on entry to its handler) and to the running chunk's file.
//
// The loop is one function so that every handler ends in its own dispatch
// jump; the handlers themselves are grouped by family in the ops_*.inc files
// included below, and what they share is in handler_support.h.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>

#include "base/error_report.h"
#include "machine/constant_divisor.h"
#include "machine/handler_support.h"
#include "machine/internal_opcodes.h"
#include "machine/machine.h"
#include "runtime/arithmetic.h"
#include "runtime/console.h"
#include "runtime/strings_arrays.h"

// Labels as values where the compiler has them; a portable switch otherwise
// (or when OXEL_PORTABLE_DISPATCH is defined, to test that form).
#if (defined(__GNUC__) || defined(__clang__)) && !defined(OXEL_PORTABLE_DISPATCH)
#define OXEL_COMPUTED_GOTO 1
#endif

namespace oxel {

namespace handlers {

void fail_stack_underflow(std::uint32_t line) { report_error(FailureKind::stack_underflow, line); }
void fail_stack_overflow(std::uint32_t line) { report_error(FailureKind::stack_overflow, line); }

}  // namespace handlers

using namespace handlers;

void Machine::run() {
    if (budgeted_)
        (void)execute<false, true>();
    else
        (void)execute<false, false>();
}

std::uint64_t Machine::run_counting_dispatches() { return execute<true, false>(); }

void Machine::run(RunObserver& observer) {
    if (!observable_)
        throw std::logic_error("an observed run needs a machine built with debug information");
    observer_ = &observer;
    struct Forget {
        RunObserver*& observer;
        ~Forget() { observer = nullptr; }
    } forget{observer_};
    (void)execute<false, false, true>();
}

template <bool counting, bool budgeted, bool observed>
std::uint64_t Machine::execute() {
    auto top_index = find_chunk(program, top_chunk_name);
    if (!top_index || *top_index >= runnable_.size())
        report_error(FailureKind::no_code, 1);

    // Frame 0: the top-level chunk with fresh slots and an empty stack.
    // All of them zeroed, once per run: its parameters too (no call passes
    // it any), and whatever an earlier run of this machine left.
    Frame* frame = &frames[0];
    frame_count = 1;
    {
        const RunnableChunk& run = runnable_[*top_index];
        frame->chunk = run.chunk;
        frame->ip = run.code;
        frame->slots = slot_area_.get();
        frame->slot_count = run.slot_count;
        std::memset(static_cast<void*>(frame->slots), 0, sizeof(Value) * run.slot_count);
        frame->stack = stacks_.get();
        frame->top = frame->stack;
    }
    [[maybe_unused]] std::uint64_t dispatches = 0;
    // Whether this run may enter machine code: not when it counts or
    // budgets or reports each statement, which compiled code does not.
#ifdef OXEL_JIT_AVAILABLE
    constexpr bool jitting = !counting && !budgeted && !observed;
#else
    constexpr bool jitting = false;
#endif
    Value returned;  // the value a ret carries to the caller
    // Errors name the running chunk's file, filled in here on the way out
    // rather than kept up to date on every call and return.
    try {
        // The next instruction. Each handler names the one it runs `in`,
        // fixed on entry, whatever it later does to ip.
        const Instruction* ip = frame->ip;
        Value* stack = frame->stack;
        Value* top = frame->top;
        Value* slots = frame->slots;
        // Observed runs only: the running chunk, its code and its statement marks.
        [[maybe_unused]] std::uint32_t running_chunk = 0;
        [[maybe_unused]] const Instruction* code_base = nullptr;
        [[maybe_unused]] const std::uint32_t* marks = nullptr;
// Makes chunk `index` the running one of an observed run.
#define OBSERVE_CHUNK(index)                                   \
    do {                                                       \
        running_chunk = static_cast<std::uint32_t>(index);     \
        code_base = runnable_[running_chunk].code;             \
        marks = runnable_[running_chunk].statement_marks;      \
    } while (0)
// Reports the statement starting at ip[-1] to the observer, if one does.
#define OBSERVE_STATEMENT()                                                       \
    do {                                                                          \
        if constexpr (observed) {                                                 \
            if (const std::uint32_t mark = marks[ip - 1 - code_base]; mark != 0) { \
                frame->ip = ip;                                                   \
                frame->top = top;                                                 \
                observer_->statement(*this, running_chunk, mark - 1);             \
            }                                                                     \
        }                                                                         \
    } while (0)
        if constexpr (observed) {
            OBSERVE_CHUNK(*top_index);
            observer_->called(*this, running_chunk);
        }

        // Shorthands for the handlers; each is one expression or one
        // statement that is safe anywhere a statement is.
#define LINE (in->line)
// Past the rest of the run of the fused form being handled.
#define SKIP_RUN()                     \
    do {                               \
        ip += run_length(handled) - 1; \
        NEXT;                          \
    } while (0)
// A slot as runnable code names it: its byte offset.
#define SLOT(offset) slot_at(slots, (offset))
// A fused instruction's taken jump, `offset` bytes from the fused
// instruction `from`.
#define JUMP_FROM(from, offset)             \
    do {                                    \
        STEP();                             \
        ip = jump_target((from), (offset)); \
        NEXT;                               \
    } while (0)
#define JUMP_BY(offset) JUMP_FROM(in, offset)
// A loop's close jumps back: the machine-code tier counts it, in the plain
// run only (see jit_tier.h).
#define BACK_JUMP()                                          \
    do {                                                     \
        if constexpr (jitting) {                             \
            if (--jit_countdown_ == 0) [[unlikely]]          \
                jit_look_at(in, slots);                      \
        }                                                    \
    } while (0)
// Every taken jump and every call spends a step of a budgeted run, fused
// or not, so both stop at the same point.
#define STEP()                                 \
    do {                                       \
        if constexpr (budgeted) {              \
            if (steps_left_ == 0) [[unlikely]] \
                throw StepBudgetExhausted{};   \
            --steps_left_;                     \
        }                                      \
    } while (0)
// Opens the handler of `name`: `in` is the instruction it runs and
// `handled` its opcode, both constant through the handler. Every handler
// leaves by NEXT, a jump, return or throw: the loops never loop.
#define OXEL_HANDLER(name)                                        \
    for ([[maybe_unused]] const Instruction* const in = ip - 1;;) \
        for ([[maybe_unused]] constexpr InternalOp handled = InternalOp::name;;)

#ifdef OXEL_COMPUTED_GOTO
        // A label per row of the one list: a row without its handler leaves
        // its label undefined, which does not compile.
        static void* const labels[runnable_opcode_count] = {
#define OXEL_ROW(name, ...) &&op_##name,
            OXEL_RUNNABLE_OPS(OXEL_ROW, OXEL_ROW, OXEL_ROW)
#undef OXEL_ROW
        };
#define CASE(name) op_##name : OXEL_HANDLER(name)
#define NEXT                                                \
    do {                                                    \
        if constexpr (counting)                             \
            ++dispatches;                                   \
        ++ip;                                               \
        OBSERVE_STATEMENT();                                \
        goto* labels[static_cast<std::uint8_t>(ip[-1].op)]; \
    } while (0)
        NEXT;
#else
        // A switch over the enum without a default: a row without its case
        // does not compile. Every byte that reaches it is a row (see
        // InternalOp).
#define CASE(name)         \
    case InternalOp::name: \
        OXEL_HANDLER(name)
#define NEXT goto next_instruction
        for (;;) {
        next_instruction:
            if constexpr (counting)
                ++dispatches;
            ++ip;
            OBSERVE_STATEMENT();
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
#endif
            switch (static_cast<InternalOp>(ip[-1].op)) {
#endif

#include "machine/ops_values.inc"

#include "machine/ops_strings_arrays_io.inc"

#include "machine/ops_control.inc"

#include "machine/ops_fused.inc"

#ifndef OXEL_COMPUTED_GOTO
    }
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif
}
#endif
#undef CASE
#undef OXEL_HANDLER
#undef NEXT
#undef LINE
#undef SKIP_RUN
#undef SLOT
#undef JUMP_FROM
#undef JUMP_BY
#undef STEP
#undef BACK_JUMP
#undef OBSERVE_CHUNK
#undef OBSERVE_STATEMENT
}
catch (Failure& failure) {
    place_run_time_failure(failure, program, frame->chunk->file);
    record_calls(failure);
    if constexpr (observed)
        observer_->failed(*this, failure);
    throw;
}
return dispatches;
}

template std::uint64_t Machine::execute<false, false>();
template std::uint64_t Machine::execute<false, true>();
template std::uint64_t Machine::execute<true, false>();
template std::uint64_t Machine::execute<false, false, true>();

}  // namespace oxel
