// The interpreter loop. Hot state lives in locals (ip, top, stack, slots);
// it is written back to the running Frame only on call and return. Every
// error is charged to the line of the instruction being executed, ip[-1],
// and to the running chunk's file.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>

#include "base/error_report.h"
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

namespace {

[[noreturn, gnu::cold]] void fail_stack_underflow(std::uint32_t line) {
    report_error("Stack underflow", line);
}
[[noreturn, gnu::cold]] void fail_stack_overflow(std::uint32_t line) { report_error("Stack overflow", line); }

std::uint64_t wrap(std::int64_t v) { return static_cast<std::uint64_t>(v); }

// An Int has meta 0 and a Float meta 1, so two values are both numbers
// exactly when their metas OR to at most 1.
bool both_numbers(const Value& a, const Value& b) { return (a.meta | b.meta) <= 1; }
double number_value(const Value& v) { return v.meta == 0 ? static_cast<double>(v.as_int()) : v.as_float(); }

// Integer division and modulo by this divisor can neither fail nor overflow
// (0 fails; -1 overflows for the smallest integer): the inline paths take
// only these and leave the rest to arith_operation.
bool plain_divisor(std::int64_t y) { return y > 0 || y < -1; }
// Floored: the remainder takes the divisor's sign.
std::int64_t floored_mod(std::int64_t x, std::int64_t y) {
    const std::int64_t m = x % y;
    return (m != 0 && (m < 0) != (y < 0)) ? m + y : m;
}

}  // namespace

void Machine::run() {
    if (counted_)
        execute<true>();
    else
        execute<false>();
}

template <bool counted>
void Machine::execute() {
    auto top_index = find_chunk(program, top_chunk_name);
    if (!top_index || *top_index >= runnable_.size())
        report_error("No code", 1);

    // Frame 0: the top-level chunk with fresh slots and an empty stack.
    Frame* frame = &frames[0];
    frame_count = 1;
    {
        const RunnableChunk& run = runnable_[*top_index];
        frame->chunk = &program.chunks[*top_index];
        frame->code = frame->ip = run.code.data();
        frame->slots = slot_area_.get();
        frame->slot_count = run.slot_count;
        std::memset(static_cast<void*>(frame->slots), 0, sizeof(Value) * run.slot_count);
        frame->stack = stacks_.get();
        frame->top = frame->stack;
    }
    Value returned;  // the value a ret carries to the caller
    // Errors name the running chunk's file, filled in here on the way out
    // rather than kept up to date on every call and return.
    try {
        const Instruction* code = frame->code;
        const Instruction* ip = frame->ip;
        const Instruction* in = nullptr;
        Value* stack = frame->stack;
        Value* top = frame->top;
        Value* slots = frame->slots;

#define LINE current_line(ip)
#define NEED(n)                         \
    if (top - stack < (n)) [[unlikely]] \
    fail_stack_underflow(LINE)
#define ROOM()                                 \
    if (top == stack + max_stack) [[unlikely]] \
    fail_stack_overflow(LINE)
// Every taken jump and every call spends a step of a counted run.
#define STEP()                             \
    if constexpr (counted) {               \
        if (steps_left_ == 0) [[unlikely]] \
            throw StepBudgetExhausted{};   \
        --steps_left_;                     \
    }
#define POP() (*--top)
#define PUSH(v) (*top++ = (v))
        // pop_integer / pop_number: the pop, then the conversion, so a bad value
        // is reported before a missing second operand.
#define POP_INTEGER(var) \
    NEED(1);             \
    std::int64_t var = integer_of(POP(), LINE)
#define POP_VALUE(var) \
    NEED(1);           \
    Value var = POP()

#ifdef OXEL_COMPUTED_GOTO
        static void* const labels[runnable_opcode_count] = {
#define OXEL_ROW(name, text) &&op_##name,
            OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
                && op_fell_off,
            &&op_bad_slot,
            &&op_bad_opcode,
#define OXEL_ROW(name) &&op_##name##_slots, &&op_##name##_slot_int, &&op_##name##_slot_float,
            OXEL_FUSED_ARITHMETIC(OXEL_ROW)
#undef OXEL_ROW
#define OXEL_ROW(name) &&op_##name##_slots_jump, &&op_##name##_slot_int_jump,
                    OXEL_FUSED_COMPARISONS(OXEL_ROW)
#undef OXEL_ROW
                && op_sqrt_slot,
            &&op_ret_slot,
            &&op_loop_next,
            &&op_store_int,
            &&op_copy_slot,
            &&op_get_at_slot,
            &&op_set_int_at_slot,
            &&op_set_slot_at_slot,
        };
        static_assert(std::size(labels) == runnable_opcode_count);
#define CASE(name) op_##name:
#define INTERNAL_CASE(name) op_##name:
#define NEXT                                             \
    do {                                                 \
        in = ip++;                                       \
        goto* labels[static_cast<std::uint8_t>(in->op)]; \
    } while (0)
        NEXT;
#else
#define CASE(name) case static_cast<std::uint8_t>(Opcode::name):
#define INTERNAL_CASE(name) case static_cast<std::uint8_t>(InternalOp::name):
#define NEXT continue
        for (;;) {
            in = ip++;
            switch (static_cast<std::uint8_t>(in->op)) {
#endif

        CASE(push_int) {
            ROOM();
            PUSH(Value::integer(in->a));
            NEXT;
        }
        CASE(push_float) {
            ROOM();
            PUSH((Value{wrap(in->a), static_cast<std::uint64_t>(ValueKind::Float)}));
            NEXT;
        }
        CASE(push_str) {
            ROOM();
            PUSH(Value::string(program.strings[static_cast<std::size_t>(in->a)]));
            NEXT;
        }
        CASE(load) {
            ROOM();
            PUSH(slots[in->a]);
            NEXT;
        }
        CASE(store) {
            NEED(1);
            slots[in->a] = POP();
            NEXT;
        }
        CASE(pop) {
            NEED(1);
            --top;
            NEXT;
        }

        // The general case: right operand popped and converted first, so a bad
        // right operand is reported before a missing left one.
#define ARITH_GENERAL(name)                                         \
    NEED(1);                                                        \
    Value right = POP();                                            \
    if (top == stack) {                                             \
        (void)number_of(right, LINE);                               \
        fail_stack_underflow(LINE);                                 \
    }                                                               \
    top[-1] = arith_operation(ArithOp::name, top[-1], right, LINE); \
    NEXT

#define ARITH(name, int_expression, float_operator)                                          \
    CASE(name) {                                                                             \
        if (top - stack >= 2) [[likely]] {                                                   \
            Value& left = top[-2];                                                           \
            const Value& right = top[-1];                                                    \
            if ((left.meta | right.meta) == 0) [[likely]] {                                  \
                std::uint64_t x = left.payload, y = right.payload;                           \
                left.payload = (int_expression);                                             \
                --top;                                                                       \
                NEXT;                                                                        \
            }                                                                                \
            if (both_numbers(left, right)) {                                                 \
                left = Value::number(number_value(left) float_operator number_value(right)); \
                --top;                                                                       \
                NEXT;                                                                        \
            }                                                                                \
        }                                                                                    \
        ARITH_GENERAL(name);                                                                 \
    }
        ARITH(add, x + y, +)
        ARITH(sub, x - y, -)
        ARITH(mul, x * y, *)
#undef ARITH

#define DIVISION(name, int_expression)                                \
    CASE(name) {                                                      \
        if (top - stack >= 2 && (top[-1].meta | top[-2].meta) == 0) { \
            std::int64_t x = top[-2].as_int(), y = top[-1].as_int();  \
            if (plain_divisor(y)) {                                   \
                top[-2].payload = wrap(int_expression);               \
                --top;                                                \
                NEXT;                                                 \
            }                                                         \
        }                                                             \
        ARITH_GENERAL(name);                                          \
    }
        DIVISION(div, x / y)
        DIVISION(mod, floored_mod(x, y))
#undef DIVISION
#undef ARITH_GENERAL

#define COMPARE(name, relation)                                                              \
    CASE(name) {                                                                             \
        NEED(2);                                                                             \
        Value y = POP();                                                                     \
        Value x = top[-1];                                                                   \
        bool holds = ((x.meta | y.meta) == 0) ? (x.as_int() relation y.as_int())             \
                                              : compare_values(CompareOp::name, x, y, LINE); \
        top[-1] = Value::integer(holds ? 1 : 0);                                             \
        NEXT;                                                                                \
    }
        COMPARE(eq, ==)
        COMPARE(ne, !=)
        COMPARE(lt, <)
        COMPARE(le, <=)
        COMPARE(gt, >)
        COMPARE(ge, >=)
#undef COMPARE

#define BITWISE(name, expression)         \
    CASE(name) {                          \
        POP_INTEGER(y);                   \
        POP_INTEGER(x);                   \
        PUSH(Value::integer(expression)); \
        NEXT;                             \
    }
        BITWISE(and_, x & y)
        BITWISE(or_, x | y)
        BITWISE(xor_, x ^ y)
        BITWISE(shl, shift_left(x, y))
        BITWISE(shr, shift_right(x, y))
#undef BITWISE

        CASE(bitnot) {
            POP_INTEGER(x);
            PUSH(Value::integer(~x));
            NEXT;
        }
        CASE(sqrt) {
            POP_VALUE(x);
            PUSH(square_root(x, LINE));
            NEXT;
        }
        CASE(len) {
            POP_VALUE(v);
            PUSH(Value::integer(length_of(v, LINE)));
            NEXT;
        }
        CASE(charat) {
            POP_INTEGER(index);
            POP_VALUE(s);
            PUSH(Value::integer(byte_at(s, index, LINE)));
            NEXT;
        }
        CASE(cmpstr) {
            NEED(2);
            Value y = POP();
            Value x = POP();
            PUSH(Value::integer(compare_strings(x, y, LINE)));
            NEXT;
        }
        CASE(cat) {
            NEED(2);
            Value y = POP();
            Value x = POP();
            frame->top = top;  // the roots, should the allocation collect
            PUSH(concatenate(x, y, heap, LINE));
            NEXT;
        }
        CASE(newarr) {
            POP_INTEGER(size);
            frame->top = top;
            slots[in->a] = new_array(heap, size, LINE);
            NEXT;
        }
        CASE(arrget) {
            POP_INTEGER(index);
            const Value& array = slots[in->b];
            if (array.is_array()) {
                if (static_cast<std::uint64_t>(index) < array.array_length()) [[likely]] {
                    slots[in->a] = Value::integer(array.array_elements()[index]);
                    NEXT;
                }
            }
            slots[in->a] = Value::integer(array_get(array, index, LINE));
            NEXT;
        }
        CASE(arrset) {
            POP_INTEGER(index);
            POP_INTEGER(element);
            const Value& array = slots[in->a];
            if (array.is_array()) {
                if (static_cast<std::uint64_t>(index) < array.array_length()) [[likely]] {
                    array.array_elements()[index] = element;
                    NEXT;
                }
            }
            array_set(array, index, element, LINE);
            NEXT;
        }
        CASE(echo) {
            POP_VALUE(v);
            print_value(v);
            NEXT;
        }
        CASE(echow) {
            POP_INTEGER(wait);  // taken as an integer; nothing waits
            (void)wait;
            POP_VALUE(v);
            print_value(v);
            NEXT;
        }
        CASE(input) {
            frame->top = top;
            slots[in->a] = read_input_line(heap);
            NEXT;
        }
        CASE(vga) {
            POP_VALUE(v);
            write_vga_banner(v);
            NEXT;
        }
        CASE(pout) {
            POP_INTEGER(port);  // no ports are emulated: both are only checked
            POP_INTEGER(value);
            (void)port;
            (void)value;
            NEXT;
        }
        CASE(jmp) {
            STEP();
            ip = code + in->a;
            NEXT;
        }
        CASE(jmp_false) {
            POP_VALUE(v);
            if (v.is_int() ? v.as_int() == 0 : !is_truthy(v)) {
                STEP();
                ip = code + in->a;
            }
            NEXT;
        }
        CASE(fopen) {
            NEED(2);
            Value mode = POP();
            Value path = POP();
            slots[in->a] = Value::integer(files.open(path, mode, LINE));
            NEXT;
        }
        CASE(fread) {
            POP_INTEGER(count);
            frame->top = top;
            slots[in->a] = files.read(slots[in->b], count, heap, LINE);
            NEXT;
        }
        CASE(fwrite) {
            POP_VALUE(v);
            files.write(slots[in->a], v, LINE);
            NEXT;
        }
        CASE(fclose) {
            files.close(slots[in->a], LINE);
            NEXT;
        }
        CASE(call) {
            if (frame_count >= max_frames)
                report_error("Call stack overflow", LINE);
            STEP();
            const auto callee_index = static_cast<std::size_t>(in->a);
            const Chunk& callee = program.chunks[callee_index];
            const RunnableChunk& run = runnable_[callee_index];
            NEED(callee.arity);
            Value* callee_slots = slots + frame->slot_count;
            top -= callee.arity;
            // Element by element: these are a handful of values, too few to pay
            // for a library call.
            for (std::uint32_t i = 0; i < callee.arity; ++i)
                callee_slots[i] = top[i];
            for (std::uint32_t i = callee.arity; i < run.slot_count; ++i)
                callee_slots[i] = Value{};
            frame->ip = ip;
            frame->top = top;
            ++frame;
            ++frame_count;
            frame->chunk = &callee;
            frame->slots = slots = callee_slots;
            frame->slot_count = run.slot_count;
            frame->stack = stack = stack + max_stack;
            frame->top = top = stack;
            frame->code = code = ip = run.code.data();
            NEXT;
        }
        CASE(ret) {
            NEED(1);
            returned = POP();
        return_to_caller:
            if (--frame_count == 0)
                return;
            --frame;
            code = frame->code;
            ip = frame->ip;
            slots = frame->slots;
            stack = frame->stack;
            top = frame->top;
            ROOM();
            // A call is nearly always followed by the store of an assignment or
            // the pop of a call statement: do it here and spare a dispatch.
            if (ip->op == Opcode::store) {
                slots[ip->a] = returned;
                ++ip;
            } else if (ip->op == Opcode::pop) {
                ++ip;
            } else {
                PUSH(returned);
            }
            NEXT;
        }
        CASE(halt) { return; }

        INTERNAL_CASE(fell_off) {
            report_error("Fell off chunk '" + std::string(frame->chunk->name) + "'", 1);
        }
        INTERNAL_CASE(bad_slot) {
            report_error("Bad slot " + std::to_string(static_cast<std::uint64_t>(in->a)), LINE);
        }
        INTERNAL_CASE(bad_opcode) { report_error("Bad opcode " + std::to_string(in->a), LINE); }

        // Fused runs (see internal_opcodes.h). The fast path needs plain
        // integers and as much stack room as the run would have used; anything
        // else does the run's first instruction and lets the originals follow.
#define LOW(operand) static_cast<std::uint32_t>(operand)
#define HIGH(operand) static_cast<std::uint32_t>(static_cast<std::uint64_t>(operand) >> 32)
#define HAS_ROOM(n) (top - stack <= static_cast<std::ptrdiff_t>(max_stack - (n)))
#define FIRST_LOAD(slot) \
    ROOM();              \
    PUSH(slots[slot]);   \
    NEXT
#define FIRST_PUSH_INT(k)    \
    ROOM();                  \
    PUSH(Value::integer(k)); \
    NEXT

// Float results take the fast path too where no error is possible: add,
// sub, mul, and div by a non-zero divisor; mod always goes the long way.
// FUSED_RESULT stores the result and skips the run when `guard` holds.
#define FUSED_RESULT(type, x_value, y_value, guard, make, expression) \
    {                                                                 \
        [[maybe_unused]] type x = x_value, y = y_value;               \
        if (guard) {                                                  \
            slots[HIGH(in->b)] = make(expression);                    \
            ip += 3;                                                  \
            NEXT;                                                     \
        }                                                             \
    }
#define FUSED_ARITHMETIC(name, guard, int_expression, float_guard, float_expression)                      \
    INTERNAL_CASE(name##_slots) {                                                                         \
        const Value& left = slots[LOW(in->b)];                                                            \
        const Value& right = slots[in->a];                                                                \
        if (both_numbers(left, right) && HAS_ROOM(2)) {                                                   \
            if ((left.meta | right.meta) == 0)                                                            \
                FUSED_RESULT(std::int64_t, left.as_int(), right.as_int(), guard, Value::integer,          \
                             int_expression)                                                              \
            else                                                                                          \
                FUSED_RESULT(double, number_value(left), number_value(right), float_guard, Value::number, \
                             float_expression)                                                            \
        }                                                                                                 \
        FIRST_LOAD(LOW(in->b));                                                                           \
    }                                                                                                     \
    INTERNAL_CASE(name##_slot_int) {                                                                      \
        const Value& left = slots[LOW(in->b)];                                                            \
        if (left.meta <= 1 && HAS_ROOM(2)) {                                                              \
            if (left.meta == 0)                                                                           \
                FUSED_RESULT(std::int64_t, left.as_int(), in->a, guard, Value::integer, int_expression)   \
            else                                                                                          \
                FUSED_RESULT(double, left.as_float(), static_cast<double>(in->a), float_guard,            \
                             Value::number, float_expression)                                             \
        }                                                                                                 \
        FIRST_LOAD(LOW(in->b));                                                                           \
    }                                                                                                     \
    INTERNAL_CASE(name##_slot_float) {                                                                    \
        const Value& left = slots[LOW(in->b)];                                                            \
        if (left.meta <= 1 && HAS_ROOM(2))                                                                \
            FUSED_RESULT(double, number_value(left), std::bit_cast<double>(in->a), float_guard,           \
                         Value::number, float_expression)                                                 \
        FIRST_LOAD(LOW(in->b));                                                                           \
    }
        FUSED_ARITHMETIC(add, true, static_cast<std::int64_t>(wrap(x) + wrap(y)), true, x + y)
        FUSED_ARITHMETIC(sub, true, static_cast<std::int64_t>(wrap(x) - wrap(y)), true, x - y)
        FUSED_ARITHMETIC(mul, true, static_cast<std::int64_t>(wrap(x) * wrap(y)), true, x * y)
        FUSED_ARITHMETIC(div, plain_divisor(y), x / y, y != 0.0, x / y)
        FUSED_ARITHMETIC(mod, plain_divisor(y), floored_mod(x, y), false, 0.0)
#undef FUSED_ARITHMETIC
#undef FUSED_RESULT

#define FUSED_COMPARISON(name, relation)                    \
    INTERNAL_CASE(name##_slots_jump) {                      \
        const Value& left = slots[LOW(in->b)];              \
        const Value& right = slots[HIGH(in->b)];            \
        if ((left.meta | right.meta) == 0 && HAS_ROOM(2)) { \
            if (left.as_int() relation right.as_int()) {    \
                ip += 3;                                    \
            } else {                                        \
                STEP();                                     \
                ip = code + in->a;                          \
            }                                               \
            NEXT;                                           \
        }                                                   \
        FIRST_LOAD(LOW(in->b));                             \
    }                                                       \
    INTERNAL_CASE(name##_slot_int_jump) {                   \
        const Value& left = slots[LOW(in->b)];              \
        if (left.meta == 0 && HAS_ROOM(2)) {                \
            if (left.as_int() relation in->a) {             \
                ip += 3;                                    \
            } else {                                        \
                STEP();                                     \
                ip = code + HIGH(in->b);                    \
            }                                               \
            NEXT;                                           \
        }                                                   \
        FIRST_LOAD(LOW(in->b));                             \
    }
        FUSED_COMPARISON(eq, ==)
        FUSED_COMPARISON(ne, !=)
        FUSED_COMPARISON(lt, <)
        FUSED_COMPARISON(le, <=)
        FUSED_COMPARISON(gt, >)
        FUSED_COMPARISON(ge, >=)
#undef FUSED_COMPARISON

        INTERNAL_CASE(sqrt_slot) {
            const Value& x = slots[in->a];
            if (x.is_float() && x.as_float() >= 0.0 && HAS_ROOM(1)) {  // -0.0 stays -0.0
                slots[in->b] = Value::number(std::sqrt(x.as_float()));
                ip += 2;
                NEXT;
            }
            FIRST_LOAD(in->a);
        }
        INTERNAL_CASE(ret_slot) {
            if (!HAS_ROOM(1)) {
                FIRST_LOAD(in->a);
            }
            returned = slots[in->a];
            goto return_to_caller;
        }
        INTERNAL_CASE(loop_next) {
            Value& counter = slots[LOW(in->b)];
            if (counter.meta == 0 && HAS_ROOM(2)) {
                const auto next = static_cast<std::int64_t>(counter.payload + 1);
                counter.payload = static_cast<std::uint64_t>(next);
                if (next >= in->a) {
                    ip += 7;
                } else {
                    STEP();
                    ip = code + HIGH(in->b);
                }
                NEXT;
            }
            FIRST_LOAD(LOW(in->b));
        }
        INTERNAL_CASE(store_int) {
            if (HAS_ROOM(1)) {
                slots[in->b] = Value::integer(in->a);
                ip += 1;
                NEXT;
            }
            FIRST_PUSH_INT(in->a);
        }
        INTERNAL_CASE(copy_slot) {
            if (HAS_ROOM(1)) {
                slots[in->b] = slots[in->a];
                ip += 1;
                NEXT;
            }
            FIRST_LOAD(in->a);
        }
        INTERNAL_CASE(get_at_slot) {
            const Value& index = slots[LOW(in->a)];
            const Value& array = slots[in->b];
            if (index.meta == 0 && array.is_array() && HAS_ROOM(1)) {
                if (index.payload < array.array_length()) {
                    slots[HIGH(in->a)] = Value::integer(array.array_elements()[index.payload]);
                    ip += 1;
                    NEXT;
                }
            }
            FIRST_LOAD(LOW(in->a));
        }
        INTERNAL_CASE(set_int_at_slot) {
            const Value& index = slots[LOW(in->b)];
            const Value& array = slots[HIGH(in->b)];
            if (index.meta == 0 && array.is_array() && HAS_ROOM(2)) {
                if (index.payload < array.array_length()) {
                    array.array_elements()[index.payload] = in->a;
                    ip += 2;
                    NEXT;
                }
            }
            FIRST_PUSH_INT(in->a);
        }
        INTERNAL_CASE(set_slot_at_slot) {
            const Value& element = slots[in->a];
            const Value& index = slots[LOW(in->b)];
            const Value& array = slots[HIGH(in->b)];
            if ((element.meta | index.meta) == 0 && array.is_array() && HAS_ROOM(2)) {
                if (index.payload < array.array_length()) {
                    array.array_elements()[index.payload] = element.as_int();
                    ip += 2;
                    NEXT;
                }
            }
            FIRST_LOAD(in->a);
        }
#undef LOW
#undef HIGH
#undef HAS_ROOM
#undef FIRST_LOAD
#undef FIRST_PUSH_INT

#ifndef OXEL_COMPUTED_GOTO
        default:
            report_error("Bad opcode " + std::to_string(static_cast<int>(in->op)), LINE);
    }
}
#endif
#undef CASE
#undef INTERNAL_CASE
#undef NEXT
#undef LINE
#undef NEED
#undef ROOM
#undef STEP
#undef POP
#undef PUSH
#undef POP_INTEGER
#undef POP_VALUE
}
catch (Failure& failure) {
    failure.file = std::string(frame->chunk->file);
    throw;
}
}

}  // namespace oxel
