// The interpreter loop. Hot state lives in locals (ip, top, stack, slots);
// it is written back to the running Frame only on call and return. Every
// error is charged to the line of the instruction being executed, ip[-1],
// and to the running chunk's file.
//
// The loop is one function so that every handler ends in its own dispatch
// jump; the handlers themselves are grouped by family in the ops_*.inc files
// included below, and what they share is in handler_support.h.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
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

template <bool counting, bool budgeted>
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
    Value returned;  // the value a ret carries to the caller
    // Errors name the running chunk's file, filled in here on the way out
    // rather than kept up to date on every call and return.
    try {
        const Instruction* ip = frame->ip;
        // The instruction being executed is always the one before ip.
#define in (ip - 1)
        Value* stack = frame->stack;
        Value* top = frame->top;
        Value* slots = frame->slots;

        // Shorthands for the handlers; each is one expression or one
        // statement that is safe anywhere a statement is.
#define LINE current_line(ip)
#define SKIP_RUN(name)                          \
    do {                                        \
        ip += run_length(InternalOp::name) - 1; \
        NEXT;                                   \
    } while (0)
// A slot named by a fused instruction, as a byte offset.
#define SLOT(offset) slot_at(slots, (offset))
// A fused instruction's taken jump, `offset` bytes from the instruction.
#define JUMP_BY(offset)                 \
    do {                                \
        STEP();                         \
        ip = jump_target(in, (offset)); \
        NEXT;                           \
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

#ifdef OXEL_COMPUTED_GOTO
        static void* const labels[runnable_opcode_count] = {
#define OXEL_ROW(name, text) &&op_##name,
            OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name) &&op_##name,
                OXEL_MACHINE_OPS(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name, layout, ...) &&op_##name,
                    OXEL_FUSED_FORMS(OXEL_ROW)
#undef OXEL_ROW
        };
        static_assert(std::size(labels) == runnable_opcode_count);
#define CASE(name) op_##name:
#define INTERNAL_CASE(name) op_##name:
#define NEXT                                             \
    do {                                                 \
        if constexpr (counting)                          \
            ++dispatches;                                \
        ++ip;                                            \
        goto* labels[static_cast<std::uint8_t>(in->op)]; \
    } while (0)
        NEXT;
#else
#define CASE(name) case static_cast<std::uint8_t>(Opcode::name):
#define INTERNAL_CASE(name) case static_cast<std::uint8_t>(InternalOp::name):
#define NEXT goto next_instruction
        for (;;) {
        next_instruction:
            if constexpr (counting)
                ++dispatches;
            ++ip;
            switch (static_cast<std::uint8_t>(in->op)) {
#endif

#include "machine/ops_values.inc"

#include "machine/ops_strings_arrays_io.inc"

#include "machine/ops_control.inc"

#include "machine/ops_fused.inc"

#ifndef OXEL_COMPUTED_GOTO
        default:
            report_error(FailureKind::bad_opcode, std::to_string(static_cast<int>(in->op)), LINE);
    }
}
#endif
#undef CASE
#undef INTERNAL_CASE
#undef NEXT
#undef LINE
#undef SKIP_RUN
#undef SLOT
#undef in
#undef JUMP_BY
#undef STEP
}
catch (Failure& failure) {
    place_run_time_failure(failure, program, frame->chunk->file);
    throw;
}
return dispatches;
}

template std::uint64_t Machine::execute<false, false>();
template std::uint64_t Machine::execute<false, true>();
template std::uint64_t Machine::execute<true, false>();

}  // namespace oxel
