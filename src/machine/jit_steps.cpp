// Reading a hot loop's instructions into steps (see jit_steps.h). Each step
// compiles exactly the fast path of its instruction's handler in
// ops_fused.inc for the kinds at hand; what that path would not take at run
// time (a divisor of 0 or -1, an index out of range, a negative square root,
// an unordered comparison) leaves at the instruction too, decided by the
// generated code.
#include "machine/jit_steps.h"

#include <bit>

#include "machine/handler_support.h"

namespace oxel::jit {

namespace {

using handlers::half_offset;
using handlers::high;
using handlers::jump_target;
using handlers::low;

Source slot(std::uint64_t offset) { return {Source::slot, offset, 0}; }
Source integer(std::int64_t k) { return {Source::integer, 0, k}; }
Source floating(std::int64_t bits) { return {Source::floating, 0, bits}; }

// The operand shapes of the fused forms: x OP y with both in slots, or one
// of them a constant; for a comparison the jump's offset comes with them.
struct Shape {
    Source x, y;
    std::uint64_t z = 0;
    std::int32_t offset = 0;
};
enum class Layout { slots, slot_int, slot_float, int_slot, float_slot };
Shape shape_of(const Instruction& in, Layout layout) {
    switch (layout) {
        case Layout::slots:
            return {slot(low(in.a)), slot(high(in.a)), static_cast<std::uint64_t>(in.b),
                    static_cast<std::int32_t>(in.b)};
        case Layout::slot_int:
            return {slot(low(in.b)), integer(in.a), high(in.b), half_offset(in.b)};
        case Layout::slot_float:
            return {slot(low(in.b)), floating(in.a), high(in.b), half_offset(in.b)};
        case Layout::int_slot:
            return {integer(in.a), slot(low(in.b)), high(in.b), half_offset(in.b)};
        case Layout::float_slot:
            return {floating(in.a), slot(low(in.b)), high(in.b), half_offset(in.b)};
    }
    return {};
}

struct Decoded {
    Form form;
    Operation operation = Operation::add;
    Relation relation = Relation::eq;
    Layout layout = Layout::slots;
};
// The binary forms: arithmetic, bitwise and comparisons in every shape.
std::optional<Decoded> binary_of(InternalOp op) {
    switch (op) {
#define OXEL_ARITHMETIC(op)                                                                   \
    case InternalOp::op##_slots:                                                              \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::slots};         \
    case InternalOp::op##_slot_int:                                                           \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::slot_int};      \
    case InternalOp::op##_slot_float:                                                         \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::slot_float};    \
    case InternalOp::op##_int_slot:                                                           \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::int_slot};      \
    case InternalOp::op##_float_slot:                                                         \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::float_slot};
        OXEL_ARITHMETIC(add)
        OXEL_ARITHMETIC(sub)
        OXEL_ARITHMETIC(mul)
        OXEL_ARITHMETIC(div)
        OXEL_ARITHMETIC(mod)
#undef OXEL_ARITHMETIC
#define OXEL_BITWISE(op)                                                                 \
    case InternalOp::op##_slots:                                                         \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::slots};    \
    case InternalOp::op##_slot_int:                                                      \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::slot_int}; \
    case InternalOp::op##_int_slot:                                                      \
        return Decoded{Form::arithmetic, Operation::op, Relation::eq, Layout::int_slot};
        OXEL_BITWISE(and_)
        OXEL_BITWISE(or_)
        OXEL_BITWISE(xor_)
        OXEL_BITWISE(shl)
        OXEL_BITWISE(shr)
#undef OXEL_BITWISE
#define OXEL_COMPARISON(unused, op, relation)                                              \
    case InternalOp::op##_slots_jump:                                                      \
        return Decoded{Form::compare, Operation::add, Relation::op, Layout::slots};        \
    case InternalOp::op##_slot_int_jump:                                                   \
        return Decoded{Form::compare, Operation::add, Relation::op, Layout::slot_int};     \
    case InternalOp::op##_slot_float_jump:                                                 \
        return Decoded{Form::compare, Operation::add, Relation::op, Layout::slot_float};   \
    case InternalOp::op##_int_slot_jump:                                                   \
        return Decoded{Form::compare, Operation::add, Relation::op, Layout::int_slot};     \
    case InternalOp::op##_float_slot_jump:                                                 \
        return Decoded{Form::compare, Operation::add, Relation::op, Layout::float_slot};
        OXEL_COMPARISONS(OXEL_COMPARISON, _)
#undef OXEL_COMPARISON
        default:
            return std::nullopt;
    }
}

bool is_number(ValueKind kind) { return kind == ValueKind::Int || kind == ValueKind::Float; }
bool is_bitwise(Operation operation) { return operation >= Operation::and_; }

}  // namespace

ValueKind FrameKinds::of(std::uint64_t slot) const {
    return handlers::slot_at(const_cast<Value*>(slots_), slot).kind();
}

bool is_loop_close(InternalOp op) {
    if (op == InternalOp::loop_next || op == InternalOp::add_int_loop_next)
        return true;
    for (const WhileFold& fold : while_folds)
        if (fold.close == op)
            return true;
    return false;
}

Step step_of(const Instruction& in, InternalOp op, const FrameKinds& kinds) {
    Step step;
    step.at = &in;
    step.op = op;
    step.next = &in + (op == InternalOp::call_args ? run_length_of(in) : static_cast<std::size_t>(run_length(op)));
    auto kind = [&](const Source& s) {
        switch (s.what) {
            case Source::slot:
                return kinds.of(s.offset);
            case Source::integer:
                return ValueKind::Int;
            case Source::floating:
                break;
        }
        return ValueKind::Float;
    };
    // The step, when the slot it writes keeps its kind.
    auto writes = [&](std::uint64_t z, ValueKind result, Form form) {
        step.z = z;
        if (kinds.of(z) == result)
            step.form = form;
        return step;
    };

    if (const std::optional<Decoded> d = binary_of(op)) {
        const Shape shape = shape_of(in, d->layout);
        step.operation = d->operation;
        step.relation = d->relation;
        step.x = shape.x;
        step.y = shape.y;
        const ValueKind kx = kind(shape.x), ky = kind(shape.y);
        if (d->form == Form::compare) {
            step.target = jump_target(&in, shape.offset);
            if (!is_number(kx) || !is_number(ky))
                return step;  // strings compare out of line; anything else fails
            step.floats = kx == ValueKind::Float || ky == ValueKind::Float;
            step.form = Form::compare;
            return step;
        }
        if (kx == ValueKind::Int && ky == ValueKind::Int)
            return writes(shape.z, ValueKind::Int, Form::arithmetic);
        if (!is_number(kx) || !is_number(ky) || is_bitwise(d->operation) || d->operation == Operation::mod)
            return step;
        step.floats = true;
        return writes(shape.z, ValueKind::Float, Form::arithmetic);
    }

    switch (op) {
        case InternalOp::div_slot_divisor:
        case InternalOp::mod_slot_divisor: {
            const DivisorOperands& d = handlers::divisor_operands(in.a);
            step.operation = op == InternalOp::div_slot_divisor ? Operation::div : Operation::mod;
            step.x = slot(low(in.b));
            step.multiplier = d.multiplier;
            step.divisor = d.divisor;
            step.shift = d.shift;
            if (kinds.of(low(in.b)) == ValueKind::Float && step.operation == Operation::div) {
                step.y = integer(d.divisor);  // a Float divided by d >= 2: cannot fail
                step.floats = true;
                return writes(high(in.b), ValueKind::Float, Form::arithmetic);
            }
            if (kinds.of(low(in.b)) != ValueKind::Int)
                return step;
            return writes(high(in.b), ValueKind::Int, Form::divisor);
        }
        case InternalOp::bitnot_slot:
            step.x = slot(static_cast<std::uint64_t>(in.a));
            if (kind(step.x) != ValueKind::Int)
                return step;
            return writes(static_cast<std::uint64_t>(in.b), ValueKind::Int, Form::bitnot);
        case InternalOp::sqrt_slot:
            step.x = slot(static_cast<std::uint64_t>(in.a));
            if (kind(step.x) != ValueKind::Float)
                return step;
            return writes(static_cast<std::uint64_t>(in.b), ValueKind::Float, Form::sqrt);
        case InternalOp::len_slot: {
            step.array = static_cast<std::uint64_t>(in.a);
            const ValueKind k = kinds.of(step.array);
            if (k != ValueKind::String && k != ValueKind::Array)
                return step;
            return writes(static_cast<std::uint64_t>(in.b), ValueKind::Int, Form::length);
        }
        case InternalOp::char_slots:
        case InternalOp::char_slot_int:
            if (op == InternalOp::char_slots) {
                step.array = low(in.a), step.x = slot(high(in.a)), step.z = static_cast<std::uint64_t>(in.b);
            } else {
                step.array = low(in.b), step.x = integer(in.a), step.z = high(in.b);
            }
            if (kinds.of(step.array) != ValueKind::String || kind(step.x) != ValueKind::Int)
                return step;
            return writes(step.z, ValueKind::Int, Form::char_at);
        case InternalOp::get_at_slot:
        case InternalOp::get_at_int:
            if (op == InternalOp::get_at_slot) {
                step.x = slot(low(in.a)), step.z = high(in.a), step.array = static_cast<std::uint64_t>(in.b);
            } else {
                step.x = integer(in.a), step.z = low(in.b), step.array = high(in.b);
            }
            if (kinds.of(step.array) != ValueKind::Array || kind(step.x) != ValueKind::Int)
                return step;
            return writes(step.z, ValueKind::Int, Form::get);
        case InternalOp::set_slot_at_slot:
        case InternalOp::set_slot_at_int:
        case InternalOp::set_int_at_slot:
            // y the element, x the index
            if (op == InternalOp::set_slot_at_slot) {
                step.y = slot(low(in.a)), step.x = slot(high(in.a)), step.array = static_cast<std::uint64_t>(in.b);
            } else if (op == InternalOp::set_slot_at_int) {
                step.y = slot(low(in.b)), step.x = integer(in.a), step.array = high(in.b);
            } else {
                step.y = integer(in.a), step.x = slot(low(in.b)), step.array = high(in.b);
            }
            if (kinds.of(step.array) == ValueKind::Array && kind(step.x) == ValueKind::Int &&
                kind(step.y) == ValueKind::Int)
                step.form = Form::set;
            return step;
        case InternalOp::store_int:
            step.x = integer(in.a);
            return writes(static_cast<std::uint64_t>(in.b), ValueKind::Int, Form::copy);
        case InternalOp::store_float:
            step.x = floating(in.a);
            return writes(static_cast<std::uint64_t>(in.b), ValueKind::Float, Form::copy);
        case InternalOp::copy_slot:
            step.x = slot(static_cast<std::uint64_t>(in.a));
            return writes(static_cast<std::uint64_t>(in.b), kind(step.x), Form::copy);
        case InternalOp::jmp:
            step.target = reinterpret_cast<const Instruction*>(in.a);
            step.form = Form::jump;
            return step;
        case InternalOp::jump_unless_slot:
            step.x = slot(static_cast<std::uint64_t>(in.a));
            step.target = jump_target(&in, in.b);
            if (kind(step.x) == ValueKind::Int)
                step.form = Form::jump_unless;
            return step;
        case InternalOp::add_int_loop_next: {
            const Instruction* const close = &in + step_length;
            step.x = slot(static_cast<std::uint64_t>(in.a));
            step.y = integer((&in)[step_constant_at].a);
            step.counter = low(in.b);
            step.count = close[loop_count_at].a;
            step.target = jump_target(&in, half_offset(in.b));
            if (kind(step.x) != ValueKind::Int || kinds.of(step.counter) != ValueKind::Int)
                return step;
            return writes(static_cast<std::uint64_t>((&in)[step_result_at].a), ValueKind::Int, Form::step_close);
        }
        default:
            if (!is_loop_close(op))
                return step;
            step.counter = low(in.b);
            step.count = in.a;
            step.target = jump_target(&in, half_offset(in.b));
            if (kinds.of(step.counter) == ValueKind::Int)
                step.form = Form::close;
            return step;
    }
}

std::optional<LoopSteps> loop_steps(const Instruction& close, const FrameKinds& kinds,
                                    const CompiledLoops& compiled) {
    LoopSteps loop;
    loop.start = jump_target(&close, half_offset(close.b));
    if (loop.start > &close)
        return std::nullopt;
    for (const Instruction* p = loop.start;;) {
        InternalOp op = static_cast<InternalOp>(p->op);
        if (op == InternalOp::jit_loop) {
            auto found = compiled.find(p);
            if (found == compiled.end())
                return std::nullopt;
            op = found->second.close;
        }
        loop.steps.push_back(step_of(*p, op, kinds));
        if (p == &close)
            break;
        p = loop.steps.back().next;
        if (p > &close)
            return std::nullopt;  // a run across the close: not a loop's body
    }
    loop.end = loop.steps.back().next;
    return loop;
}

}  // namespace oxel::jit
