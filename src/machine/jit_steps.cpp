// Reading a hot loop's instructions into steps (see jit_steps.h). Each step
// compiles exactly the fast path of its instruction's handler in
// ops_fused.inc for the kinds at hand; what that path would not take at run
// time (a divisor of 0 or -1, an index out of range, a negative square root,
// an unordered comparison) leaves at the instruction too, decided by the
// generated code.
#include "machine/jit_steps.h"

#include <algorithm>
#include <bit>
#include <set>

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

// A fused call and the store or pop after it: the callee's arguments as
// its handler passes them (a string constant is not compiled).
Step call(const Instruction& in, InternalOp op, Step step) {
    step.callee = static_cast<std::size_t>(in.a);
    if (op == InternalOp::call_slot) {
        step.arguments = {slot(static_cast<std::uint64_t>(in.b))};
    } else if (op == InternalOp::call_slots) {
        step.arguments = {slot(low(in.b)), slot(high(in.b))};
    } else {
        step.arguments = {slot(low(in.b))};
        for (std::uint32_t i = 1; i < call_arguments(in); ++i) {
            const Instruction& push = (&in)[i];
            if (push.op == Opcode::load)
                step.arguments.push_back(slot(static_cast<std::uint64_t>(push.a)));
            else if (push.op == Opcode::push_int)
                step.arguments.push_back(integer(push.a));
            else if (push.op == Opcode::push_float)
                step.arguments.push_back(floating(push.a));
            else
                return step;
        }
    }
    if (step.next->op == Opcode::store) {
        step.stores = true;
        step.z = static_cast<std::uint64_t>(step.next->a);
    } else if (step.next->op != Opcode::pop) {
        return step;  // the result goes onto the stack
    }
    ++step.next;
    step.form = Form::call;
    return step;
}
bool is_bitwise(Operation operation) { return operation >= Operation::and_; }

}  // namespace

ValueKind FrameKinds::of(std::uint64_t slot) const {
    // Read before any write: the zero a call would leave there (where the
    // slot is not zeroed, no run reads it before writing it).
    if (open_.erase(slot) != 0)
        assumed_.emplace(slot, ValueKind::Int);
    if (auto found = assumed_.find(slot); found != assumed_.end())
        return found->second;
    return handlers::slot_at(const_cast<Value*>(slots_), slot).kind();
}

bool FrameKinds::assume(std::uint64_t slot, ValueKind kind) {
    return assumed_.emplace(slot, kind).first->second == kind;
}

bool FrameKinds::fits(std::uint64_t slot, ValueKind kind) const {
    if (open_.erase(slot) != 0)
        assumed_.emplace(slot, kind);
    return of(slot) == kind;
}

bool divisor_may_fail(const Step& step) {
    if (step.operation != Operation::div && step.operation != Operation::mod)
        return false;
    if (step.y.is_slot())
        return true;
    if (step.y.what == Source::floating)
        return std::bit_cast<double>(step.y.k) == 0.0;
    return step.floats ? step.y.k == 0 : !handlers::plain_divisor(step.y.k);
}

bool is_loop_close(InternalOp op) {
    if (op == InternalOp::loop_next || op == InternalOp::add_int_loop_next)
        return true;
    for (const WhileFold& fold : while_folds)
        if (fold.close == op)
            return true;
    return false;
}

static Step decode(const Instruction& in, InternalOp op, const FrameKinds& kinds, std::uint64_t base) {
    Step step;
    step.at = &in;
    step.op = op;
    step.next = &in + (op == InternalOp::call_args ? run_length_of(in) : static_cast<std::size_t>(run_length(op)));
    auto kind = [&](const Source& s) {
        switch (s.what) {
            case Source::slot:
                return kinds.of(base + s.offset);
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
        if (kinds.fits(base + z, result))
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
            if (kinds.of(base + low(in.b)) == ValueKind::Float && step.operation == Operation::div) {
                step.y = integer(d.divisor);  // a Float divided by d >= 2: cannot fail
                step.floats = true;
                return writes(high(in.b), ValueKind::Float, Form::arithmetic);
            }
            if (kinds.of(base + low(in.b)) != ValueKind::Int)
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
            const ValueKind k = kinds.of(base + step.array);
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
            if (kinds.of(base + step.array) != ValueKind::String || kind(step.x) != ValueKind::Int)
                return step;
            return writes(step.z, ValueKind::Int, Form::char_at);
        case InternalOp::get_at_slot:
        case InternalOp::get_at_int:
            if (op == InternalOp::get_at_slot) {
                step.x = slot(low(in.a)), step.z = high(in.a), step.array = static_cast<std::uint64_t>(in.b);
            } else {
                step.x = integer(in.a), step.z = low(in.b), step.array = high(in.b);
            }
            if (kinds.of(base + step.array) != ValueKind::Array || kind(step.x) != ValueKind::Int)
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
            if (kinds.of(base + step.array) == ValueKind::Array && kind(step.x) == ValueKind::Int &&
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
            if (kind(step.x) != ValueKind::Int || kinds.of(base + step.counter) != ValueKind::Int)
                return step;
            return writes(static_cast<std::uint64_t>((&in)[step_result_at].a), ValueKind::Int, Form::step_close);
        }
        case InternalOp::call_slot:
        case InternalOp::call_slots:
        case InternalOp::call_args:
            return call(in, op, step);
        case InternalOp::ret_slot:
            step.x = slot(static_cast<std::uint64_t>(in.a));
            step.form = Form::ret;
            return step;
        case InternalOp::push_int:
            // a function's own end, or a return of a constant
            if ((&in)[1].op == Opcode::ret) {
                step.x = integer(in.a);
                step.next = &in + 2;
                step.form = Form::ret;
            }
            return step;
        default:
            if (!is_loop_close(op))
                return step;
            step.counter = low(in.b);
            step.count = in.a;
            step.target = jump_target(&in, half_offset(in.b));
            if (kinds.of(base + step.counter) == ValueKind::Int)
                step.form = Form::close;
            return step;
    }
}

Step step_of(const Instruction& in, InternalOp op, const FrameKinds& kinds, std::uint64_t base) {
    Step step = decode(in, op, kinds, base);
    for (Source* s : {&step.x, &step.y})
        if (s->is_slot())
            s->offset += base;
    for (Source& s : step.arguments)
        if (s.is_slot())
            s.offset += base;
    step.z += base;
    step.array += base;
    step.counter += base;
    return step;
}

namespace {

// Calls compiled into a loop nest at most this deep, and their slots take
// at most this many.
constexpr int max_call_depth = 3;
constexpr std::size_t max_callee_slots = 128;

// Compiles the callee of each call it is shown into the loop when every
// step the callee has runs without leaving (the call's form stays call);
// otherwise the call becomes an exit.
class Inliner {
public:
    Inliner(LoopSteps& loop, FrameKinds& kinds, const CompiledCode& compiled, const JitCalleeOf& callee_of)
        : loop_(loop), kinds_(kinds), compiled_(compiled), callee_of_(callee_of) {}

    // The function compiled whole, whose calls of itself with its own
    // kinds stay calls; the kinds those calls' results are stored as.
    std::optional<std::size_t> root;
    std::vector<ValueKind> root_kinds, recursive_results;

    // The function itself, its own frame being the loop's: no frame more.
    bool compile_whole(Step& call) { return compile(call, 0); }

    void consider(Step& call, int depth) {
        if (call.form != Form::call)
            return;
        if (!compile(call, depth))
            call.form = Form::exit;
    }

private:
    bool recurse(Step& call) {
        if (call.arguments.size() != root_kinds.size())
            return false;
        for (std::size_t i = 0; i < root_kinds.size(); ++i) {
            const Source& argument = call.arguments[i];
            const ValueKind kind = argument.is_slot()                 ? kinds_.of(argument.offset)
                                   : argument.what == Source::floating ? ValueKind::Float
                                                                       : ValueKind::Int;
            if (kind != root_kinds[i])
                return false;
        }
        if (call.stores)
            recursive_results.push_back(kinds_.of(call.z));
        call.form = Form::recurse;
        return true;
    }

    LoopSteps& loop_;
    FrameKinds& kinds_;
    const CompiledCode& compiled_;
    const JitCalleeOf& callee_of_;
    std::vector<std::size_t> active_;  // the callees being compiled, outermost first

    static bool never_leaves(const Step& step) {
        switch (step.form) {
            case Form::exit:
            case Form::sqrt:
            case Form::char_at:
            case Form::get:
            case Form::set:
                return false;
            case Form::arithmetic:
                return !divisor_may_fail(step);
            case Form::compare:
                return !step.floats;  // NaN
            default:
                return true;
        }
    }

    bool compile(Step& call, int depth) {
        const std::optional<JitCallee> callee = callee_of_(call.callee);
        if (root && call.callee == *root && !active_.empty())
            return recurse(call);
        if (!callee || depth > max_call_depth || callee->arity != call.arguments.size() ||
            std::find(active_.begin(), active_.end(), call.callee) != active_.end() ||
            loop_.callee_slots + callee->slot_count > max_callee_slots)
            return false;
        const std::uint64_t base = callee_slot_base + loop_.callee_slots * sizeof(Value);
        loop_.callee_slots += callee->slot_count;
        Body body;
        body.start = callee->code;
        body.end = callee->code + callee->length;
        body.depth = depth;
        // Parameters take their arguments' kinds; the rest start as Int 0.
        for (std::uint32_t i = 0; i < callee->slot_count; ++i) {
            const std::uint64_t offset = base + std::uint64_t{i} * sizeof(Value);
            ValueKind kind = ValueKind::Int;
            if (i < callee->arity) {
                const Source& argument = call.arguments[i];
                kind = argument.is_slot() ? kinds_.of(argument.offset)
                       : argument.what == Source::floating ? ValueKind::Float
                                                           : ValueKind::Int;
                body.parameters.push_back(offset);
            } else if (std::find(callee->zeroed.begin(), callee->zeroed.end(), i) != callee->zeroed.end()) {
                body.locals.push_back(offset);
            } else {
                kinds_.leave_open(offset);
                continue;
            }
            if (!kinds_.assume(offset, kind))
                return false;
        }
        active_.push_back(call.callee);
        std::vector<Step> steps;
        for (const Instruction* p = body.start; p < body.end;) {
            const std::optional<InternalOp> op = compiled_.original(*p);
            if (!op || *op == InternalOp::fell_off)
                break;  // past the callee's end, which a return ends
            Step step = step_of(*p, *op, kinds_, base);
            consider(step, depth + 1);
            p = step.next;
            steps.push_back(std::move(step));
        }
        active_.pop_back();
        // The steps a call reaches, in order: each must run without leaving,
        // jump to a step, and return a value of one kind.
        std::map<const Instruction*, std::size_t> index;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            index[steps[i].at] = i;
            if (steps[i].form == Form::step_close)
                index[steps[i].at + step_length] = i;
        }
        std::vector<bool> reached(steps.size(), false);
        std::vector<std::size_t> pending{0};
        bool fine = !steps.empty();
        std::optional<ValueKind> returns;
        while (fine && !pending.empty()) {
            const std::size_t i = pending.back();
            pending.pop_back();
            if (i >= steps.size() || reached[i]) {
                fine = i < steps.size();
                continue;
            }
            reached[i] = true;
            const Step& step = steps[i];
            fine = never_leaves(step);
            if (step.form == Form::ret) {
                const ValueKind kind = step.x.is_slot() ? kinds_.of(step.x.offset) : ValueKind::Int;
                fine = fine && (!returns || *returns == kind);
                returns = kind;
                continue;
            }
            if (step.target && step.form != Form::call) {
                auto found = index.find(step.target);
                fine = fine && found != index.end();
                if (found != index.end())
                    pending.push_back(found->second);
            }
            if (step.form != Form::jump)
                pending.push_back(i + 1);
        }
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (reached[i])
                body.steps.push_back(std::move(steps[i]));
        // The result keeps the kind of the slot it is stored in.
        if (!fine || !returns || (call.stores && kinds_.of(call.z) != *returns))
            return false;
        body.returns = *returns;
        loop_.depth = std::max(loop_.depth, depth);
        call.body = loop_.bodies.size();
        loop_.bodies.push_back(std::move(body));
        return true;
    }
};

}  // namespace

std::optional<LoopSteps> loop_steps(const Instruction& close, FrameKinds& kinds, const CompiledCode& compiled,
                                    const JitCalleeOf& callee_of) {
    LoopSteps loop;
    loop.start = jump_target(&close, half_offset(close.b));
    if (loop.start > &close)
        return std::nullopt;
    Inliner inliner(loop, kinds, compiled, callee_of);
    for (const Instruction* p = loop.start;;) {
        const std::optional<InternalOp> op = compiled.original(*p);
        if (!op)
            return std::nullopt;
        loop.steps.push_back(step_of(*p, *op, kinds));
        inliner.consider(loop.steps.back(), 1);
        if (p == &close)
            break;
        p = loop.steps.back().next;
        if (p > &close)
            return std::nullopt;  // a run across the close: not a loop's body
    }
    loop.end = loop.steps.back().next;
    return loop;
}

std::optional<LoopSteps> function_steps(std::size_t chunk, FrameKinds& kinds, const CompiledCode& compiled,
                                        const JitCalleeOf& callee_of) {
    const std::optional<JitCallee> callee = callee_of(chunk);
    if (!callee || callee->arity > max_function_parameters)
        return std::nullopt;
    LoopSteps loop;
    Inliner inliner(loop, kinds, compiled, callee_of);
    inliner.root = chunk;
    Step call;
    call.form = Form::call;
    call.callee = chunk;
    for (std::uint32_t i = 0; i < callee->arity; ++i) {
        const std::uint64_t offset = std::uint64_t{i} * sizeof(Value);
        const ValueKind kind = kinds.of(offset);
        if (kind != ValueKind::Int && kind != ValueKind::Float)
            return std::nullopt;
        call.arguments.push_back({Source::slot, offset, 0});
        inliner.root_kinds.push_back(kind);
    }
    if (!inliner.compile_whole(call))
        return std::nullopt;
    const Body& body = loop.bodies.back();
    if (body.returns != ValueKind::Int && body.returns != ValueKind::Float)
        return std::nullopt;
    for (ValueKind kind : inliner.recursive_results)
        if (kind != body.returns)
            return std::nullopt;
    for (const Step& step : body.steps)
        if (step.target == body.start)
            return std::nullopt;  // a loop back to the start would enter it again
    loop.function = loop.bodies.size() - 1;
    return loop;
}

}  // namespace oxel::jit
