// The x86-64 code of one loop (see jit_tier.h). Every slot stays in the
// frame: each instruction checks the kinds it reads and leaves for the
// interpreter at itself when they are not Ints, so the frame is always
// exactly the interpreter's. Only caller-saved registers are used, in both
// calling conventions, and no stack: r8 holds the slots, rax, rcx and rdx
// the values.
#include "machine/jit_tier.h"

#ifdef OXEL_JIT_AVAILABLE

#include <xbyak/xbyak.h>

#include <algorithm>
#include <map>

#include "machine/handler_support.h"

namespace oxel {

namespace {

using namespace Xbyak;
using namespace Xbyak::util;
using handlers::half_offset;
using handlers::high;
using handlers::jump_target;
using handlers::low;

enum class Operation { add, sub, mul, div, mod };
// The condition under which a comparison's jump (taken when it does not
// hold) is taken.
enum class Relation { eq, ne, lt, le, gt, ge };

// What the instruction at hand is, read from its fused form.
struct Arithmetic {
    Operation operation;
    // The shape of the operands: slot OP slot, slot OP constant, constant OP slot.
    enum { slots, slot_int, int_slot } shape;
};
std::optional<Arithmetic> arithmetic_of(InternalOp op) {
    switch (op) {
#define OXEL_SHAPES(name)                                         \
    case InternalOp::name##_slots:                                \
        return Arithmetic{Operation::name, Arithmetic::slots};    \
    case InternalOp::name##_slot_int:                             \
        return Arithmetic{Operation::name, Arithmetic::slot_int}; \
    case InternalOp::name##_int_slot:                             \
        return Arithmetic{Operation::name, Arithmetic::int_slot};
        OXEL_SHAPES(add)
        OXEL_SHAPES(sub)
        OXEL_SHAPES(mul)
        OXEL_SHAPES(div)
        OXEL_SHAPES(mod)
#undef OXEL_SHAPES
        default:
            return std::nullopt;
    }
}
struct Comparison {
    Relation relation;
    enum { slots, slot_int, int_slot } shape;
};
std::optional<Comparison> comparison_of(InternalOp op) {
    switch (op) {
#define OXEL_SHAPES(unused, name, relation)                      \
    case InternalOp::name##_slots_jump:                          \
        return Comparison{Relation::name, Comparison::slots};    \
    case InternalOp::name##_slot_int_jump:                       \
        return Comparison{Relation::name, Comparison::slot_int}; \
    case InternalOp::name##_int_slot_jump:                       \
        return Comparison{Relation::name, Comparison::int_slot};
        OXEL_COMPARISONS(OXEL_SHAPES, _)
#undef OXEL_SHAPES
        default:
            return std::nullopt;
    }
}

class LoopCode : public CodeGenerator {
public:
    explicit LoopCode(std::size_t bytes, std::uint8_t* buffer) : CodeGenerator(bytes, buffer) {}

    // Compiles body then close; false when some instruction does not compile.
    bool build(const Instruction& close, const CompiledLoops& compiled) {
        const Instruction* const start = jump_target(&close, half_offset(close.b));
        if (start > &close)
            return false;
        // The instructions of the loop, each where a run starts, with the
        // opcode each stands for (a compiled inner loop's close, its own).
        std::vector<std::pair<const Instruction*, InternalOp>> body;
        for (const Instruction* p = start; p <= &close;) {
            InternalOp op = static_cast<InternalOp>(p->op);
            if (op == InternalOp::jit_loop) {
                auto found = compiled.find(p);
                if (found == compiled.end())
                    return false;
                op = found->second.close;
            }
            body.emplace_back(p, op);
            if (p == &close)
                break;
            p += op == InternalOp::call_args ? run_length_of(*p) : static_cast<std::size_t>(run_length(op));
        }
        if (body.back().first != &close)
            return false;
        for (auto [p, op] : body) {
            labels_[p];
            // A jump may land on the close that ends a step's run.
            if (op == InternalOp::add_int_loop_next)
                labels_[p + step_length];
        }

#ifdef _WIN32
        mov(r8, rcx);
#else
        mov(r8, rdi);
#endif
        jmp(labels_[&close], T_NEAR);
        for (auto [p, op] : body) {
            L(labels_[p]);
            if (!instruction(*p, op, p == &close))
                return false;
        }
        for (auto& [in, label] : deopts_) {
            L(label);
            mov(rax, reinterpret_cast<std::uintptr_t>(in));
            ret();
        }
        ready();
        return true;
    }

private:
    std::map<const Instruction*, Label> labels_;
    std::map<const Instruction*, Label> deopts_;

    Address payload(std::uint64_t slot) { return qword[r8 + static_cast<std::uint32_t>(slot)]; }
    Address meta(std::uint64_t slot) { return qword[r8 + static_cast<std::uint32_t>(slot) + 8]; }

    // Leaves at `in` unless the slot holds an Int (meta 0).
    void guard_int(std::uint64_t slot, const Instruction* in) {
        cmp(meta(slot), 0);
        jne(deopts_[in], T_NEAR);
    }
    void load_int(const Reg64& r, std::int64_t k) { mov(r, static_cast<std::uint64_t>(k)); }
    void store_int(std::uint64_t slot, const Reg64& r) {
        mov(payload(slot), r);
        mov(meta(slot), 0);
    }
    // A jump target inside the loop, or nothing.
    Label* target(const Instruction* to) {
        auto found = labels_.find(to);
        return found == labels_.end() ? nullptr : &found->second;
    }

    bool instruction(const Instruction& in, InternalOp op, bool last) {
        if (auto a = arithmetic_of(op))
            return arithmetic(in, *a);
        if (auto c = comparison_of(op))
            return comparison(in, *c);
        switch (op) {
            case InternalOp::div_slot_divisor:
            case InternalOp::mod_slot_divisor: {
                // A multiply and a shift, as in constant_divisor.h: the
                // quotient in rdx, then the remainder x - q * d, taking
                // d's sign.
                const DivisorOperands& d = handlers::divisor_operands(in.a);
                guard_int(low(in.b), &in);
                mov(rcx, payload(low(in.b)));
                load_int(rax, d.multiplier);
                imul(rcx);
                if (d.multiplier < 0)
                    add(rdx, rcx);
                sar(rdx, static_cast<std::uint8_t>(d.shift));
                mov(rax, rcx);
                shr(rax, 63);
                add(rdx, rax);
                if (op == InternalOp::mod_slot_divisor) {
                    load_int(rax, d.divisor);
                    imul(rdx, rax);
                    sub(rcx, rdx);
                    Label done;
                    jns(done);
                    add(rcx, rax);
                    L(done);
                    mov(rdx, rcx);
                }
                store_int(high(in.b), rdx);
                return true;
            }
            case InternalOp::store_int:
                load_int(rax, in.a);
                store_int(in.b, rax);
                return true;
            case InternalOp::copy_slot:
                mov(rax, payload(in.a));
                mov(rcx, meta(in.a));
                mov(payload(in.b), rax);
                mov(meta(in.b), rcx);
                return true;
            case InternalOp::jmp: {
                Label* to = target(reinterpret_cast<const Instruction*>(in.a));
                if (!to)
                    return false;
                jmp(*to, T_NEAR);
                return true;
            }
            case InternalOp::loop_next:
                return loop_close(in, in, in.a, last);
            case InternalOp::add_int_loop_next: {
                // z = x + k, then the close; a counter that is no Int goes on at
                // the close fused on its own.
                guard_int(in.a, &in);
                mov(rax, payload(in.a));
                const Instruction* const run = &in;
                load_int(rcx, run[step_constant_at].a);
                add(rax, rcx);
                store_int(static_cast<std::uint64_t>(run[step_result_at].a), rax);
                L(labels_[&run[step_length]]);
                return loop_close(in, run[step_length], run[step_length + loop_count_at].a, last);
            }
            default:
                return false;
        }
    }

    // The counter steps by one; back while below n. `close` holds the
    // counter and the target; `in` is where a counter of another kind
    // leaves. The loop's own close ends the code.
    bool loop_close(const Instruction& in, const Instruction& close, std::int64_t n, bool last) {
        Label* back = target(jump_target(&in, half_offset(in.b)));
        if (!back)
            return false;
        const std::uint64_t counter = low(in.b);
        guard_int(counter, &close);
        mov(rax, payload(counter));
        add(rax, 1);
        mov(payload(counter), rax);
        load_int(rcx, n);
        cmp(rax, rcx);
        jl(*back, T_NEAR);
        if (last) {
            mov(rax, reinterpret_cast<std::uintptr_t>(&in + run_length_of(in)));
            ret();
        }
        return true;
    }

    // rax OP rcx into rax (div) or rdx (mod), rcx neither 0 nor -1.
    void divide(Operation operation) {
        cqo();
        idiv(rcx);
        if (operation == Operation::mod) {
            // The remainder takes the divisor's sign.
            Label done;
            test(rdx, rdx);
            jz(done);
            mov(rax, rdx);
            xor_(rax, rcx);
            jns(done);
            add(rdx, rcx);
            L(done);
        }
    }

    bool arithmetic(const Instruction& in, Arithmetic a) {
        std::uint64_t x = 0, y = 0, z = 0;
        std::int64_t k = 0;
        switch (a.shape) {
            case Arithmetic::slots:
                x = low(in.a), y = high(in.a), z = static_cast<std::uint64_t>(in.b);
                guard_int(x, &in);
                guard_int(y, &in);
                mov(rax, payload(x));
                mov(rcx, payload(y));
                break;
            case Arithmetic::slot_int:
                x = low(in.b), k = in.a, z = high(in.b);
                guard_int(x, &in);
                mov(rax, payload(x));
                load_int(rcx, k);
                break;
            case Arithmetic::int_slot:
                k = in.a, y = low(in.b), z = high(in.b);
                guard_int(y, &in);
                load_int(rax, k);
                mov(rcx, payload(y));
                break;
        }
        switch (a.operation) {
            case Operation::add:
                add(rax, rcx);
                break;
            case Operation::sub:
                sub(rax, rcx);
                break;
            case Operation::mul:
                imul(rax, rcx);
                break;
            case Operation::div:
            case Operation::mod:
                // 0 fails and -1 may overflow: the interpreter does those.
                lea(rdx, ptr[rcx + 1]);
                cmp(rdx, 1);
                jbe(deopts_[&in], T_NEAR);
                divide(a.operation);
                if (a.operation == Operation::mod)
                    mov(rax, rdx);
                break;
        }
        store_int(z, rax);
        return true;
    }

    bool comparison(const Instruction& in, Comparison c) {
        std::int32_t offset = 0;
        switch (c.shape) {
            case Comparison::slots:
                guard_int(low(in.a), &in);
                guard_int(high(in.a), &in);
                mov(rax, payload(low(in.a)));
                mov(rcx, payload(high(in.a)));
                offset = static_cast<std::int32_t>(in.b);
                break;
            case Comparison::slot_int:
                guard_int(low(in.b), &in);
                mov(rax, payload(low(in.b)));
                load_int(rcx, in.a);
                offset = half_offset(in.b);
                break;
            case Comparison::int_slot:
                guard_int(low(in.b), &in);
                load_int(rax, in.a);
                mov(rcx, payload(low(in.b)));
                offset = half_offset(in.b);
                break;
        }
        Label* otherwise = target(jump_target(&in, offset));
        if (!otherwise)
            return false;
        cmp(rax, rcx);
        // Jumps where the relation does not hold.
        switch (c.relation) {
            case Relation::eq:
                jne(*otherwise, T_NEAR);
                break;
            case Relation::ne:
                je(*otherwise, T_NEAR);
                break;
            case Relation::lt:
                jge(*otherwise, T_NEAR);
                break;
            case Relation::le:
                jg(*otherwise, T_NEAR);
                break;
            case Relation::gt:
                jle(*otherwise, T_NEAR);
                break;
            case Relation::ge:
                jl(*otherwise, T_NEAR);
                break;
        }
        return true;
    }
};

}  // namespace

std::vector<std::uint8_t> compile_loop(const Instruction& close, const CompiledLoops& compiled) {
    // Each instruction takes well under 96 bytes, its way out included.
    // At most one per instruction between the loop's start and its close.
    const std::ptrdiff_t count = &close - jump_target(&close, half_offset(close.b));
    if (count < 0)
        return {};
    std::vector<std::uint8_t> buffer(128 + 96 * (static_cast<std::size_t>(count) + 2));
    try {
        LoopCode code(buffer.size(), buffer.data());
        if (!code.build(close, compiled))
            return {};
        buffer.resize(code.getSize());
    } catch (const Xbyak::Error&) {
        return {};
    }
    return buffer;
}

}  // namespace oxel

#else

namespace oxel {

std::vector<std::uint8_t> compile_loop(const Instruction&, const CompiledLoops&) { return {}; }

}  // namespace oxel

#endif
