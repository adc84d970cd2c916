// The x86-64 code of one loop (see jit_tier.h and jit_steps.h). The loop's
// Int and Float slots live in registers (as many as there are; the rest
// stay in the frame with their kind fixed), checked once on entry. Strings
// and arrays are read from the frame where they are used. Every way out
// writes the registers of the slots the loop changes back to the frame, so
// the interpreter finds it exactly as it would have left it there.
//
// A callee compiled into the loop has its slots where its frame would have
// them, past the loop's; they are neither checked on entry nor written back
// (no frame of the machine's holds them), and its return goes on past the
// call. It never leaves the code midway (see jit_steps.h).
//
// Registers: r8 holds the frame's first slot; rax, rcx, rdx, r11 and
// xmm0, xmm1 are scratch; the others hold slots. The callee-saved ones of
// either calling convention are saved on entry; the code calls nothing.
#include "machine/jit_tier.h"

#ifdef OXEL_JIT_AVAILABLE

#include <xbyak/xbyak.h>

#include <algorithm>
#include <bit>
#include <list>
#include <map>
#include <set>

#include "machine/jit_steps.h"

namespace oxel {

namespace {

using namespace Xbyak;
using namespace Xbyak::util;
using jit::Form;
using jit::Operation;
using jit::Relation;
using jit::Source;
using jit::Step;

const Reg64 slot_gprs[] = {rbx, rbp, rsi, rdi, r9, r10, r12, r13, r14, r15};
const Xmm slot_xmms[] = {xmm2, xmm3, xmm4, xmm5, xmm6, xmm7, xmm8, xmm9, xmm10, xmm11, xmm12, xmm13, xmm14, xmm15};
// Saved on entry: callee-saved in System V or Win64 (rsi, rdi, xmm6-15).
const Reg64 saved_gprs[] = {rbx, rbp, rsi, rdi, r12, r13, r14, r15};
// A function's arguments, on the way to its own entry.
const Reg64 argument_gprs[jit::max_function_parameters] = {rax, rcx, rdx, r11};
#ifdef _WIN32
constexpr int saved_xmms = 10;  // xmm6 to xmm15
#else
constexpr int saved_xmms = 0;
#endif

// A loop the generator turned out not to compile.
struct NotCompiled {};

class LoopCode : public CodeGenerator {
public:
    LoopCode(std::size_t bytes, std::uint8_t* buffer, const jit::LoopSteps& loop, const jit::FrameKinds& kinds)
        : CodeGenerator(bytes, buffer), loop_(loop), kinds_(kinds) {}

    // False when the loop's own close does not compile.
    bool build() {
        if (loop_.steps.back().form == Form::exit)
            return false;
        allocate();
        make_labels(loop_.steps);
        enter();
        for (const Step& step : loop_.steps) {
            L(label(step.at));
            emit(step);
        }
        jmp(exit_at(loop_.end), T_NEAR);
        leave();
        ready();
        return true;
    }

    // A function compiled whole (see function_steps): the entry from the
    // interpreter, then the function's own entry, which its calls of
    // itself call. Its own entry takes the arguments' payloads in rax, rcx,
    // rdx and r11 and the frames free in r8 (which it keeps), and gives the
    // result's payload in rax and in edx 0, or 1 when it gave up (a call
    // would take more frames than there are).
    void build_function() {
        const jit::Body& root = loop_.bodies[*loop_.function];
        allocate();
        scope_ = 1 + *loop_.function;
        Label refuse, refuse_popped, done;
        for (const Reg64& r : saved_gprs)
            push(r);
#ifdef _WIN32
        mov(r10, rcx);
        mov(r11, r8);
        mov(r8, rdx);
#else
        mov(r10, rdi);
        mov(r11, rdx);
        mov(r8, rsi);
#endif
        push(r11);  // where the result goes
        for (std::size_t i = 0; i < root.parameters.size(); ++i) {
            cmp(qword[r10 + static_cast<std::uint32_t>(16 * i + 8)],
                static_cast<std::uint32_t>(kinds_.of(root.parameters[i])));
            jne(refuse, T_NEAR);
        }
        for (std::size_t i = 0; i < root.parameters.size(); ++i)
            mov(argument_gprs[i], qword[r10 + static_cast<std::uint32_t>(16 * i)]);
        call(function_);
        pop(r10);
        test(edx, edx);
        jnz(refuse_popped, T_NEAR);
        mov(qword[r10], rax);
        mov(qword[r10 + 8], static_cast<std::uint32_t>(root.returns));
        xor_(eax, eax);
        L(done);
        for (auto r = std::rbegin(saved_gprs); r != std::rend(saved_gprs); ++r)
            pop(*r);
        ret();
        L(refuse);
        pop(r10);
        L(refuse_popped);
        mov(rax, reinterpret_cast<std::uintptr_t>(root.start));
        jmp(done, T_NEAR);

        L(function_);
        for (const Reg64& r : saved_gprs)
            push(r);
        if (stack_bytes() > 0)
            sub(rsp, stack_bytes());
        for (auto [slot, x] : xmm_)
            movdqu(ptr[rsp + xmm_save_at(x)], slot_xmms[x]);
        if (loop_.depth > 0) {
            cmp(r8, loop_.depth);
            jb(give_up_, T_NEAR);
        }
        for (std::size_t i = 0; i < root.parameters.size(); ++i) {
            if (kinds_.of(root.parameters[i]) == ValueKind::Int) {
                int_result(root.parameters[i], argument_gprs[i]);
            } else {
                movq(xmm0, argument_gprs[i]);
                float_result(root.parameters[i], xmm0);
            }
        }
        zero(root.locals);
        returns_.push_back({&returned_, nullptr});
        make_labels(root.steps);
        for (const Step& step : root.steps) {
            L(label(step.at));
            emit(step);
        }
        L(give_up_);
        mov(edx, 1);
        L(returned_);
        for (auto [slot, x] : xmm_)
            movdqu(slot_xmms[x], ptr[rsp + xmm_save_at(x)]);
        if (stack_bytes() > 0)
            add(rsp, stack_bytes());
        for (auto r = std::rbegin(saved_gprs); r != std::rend(saved_gprs); ++r)
            pop(*r);
        ret();
        ready();
    }

private:
    const jit::LoopSteps& loop_;
    const jit::FrameKinds& kinds_;
    std::map<std::uint64_t, ValueKind> used_;  // the slots compiled steps use
    std::map<std::uint64_t, std::size_t> gpr_, xmm_;
    std::map<std::uint64_t, bool> written_;  // slots in registers that steps write
    // Labels by scope: 0 the loop, 1 + i the callee body i.
    std::map<std::pair<std::size_t, const Instruction*>, Label> labels_;
    std::map<const Instruction*, Label> exits_;
    Label leave_, refuse_;
    std::size_t scope_ = 0;
    // The return of the callee being compiled: where it goes on, and the call.
    struct Return {
        Label* done;
        const Step* call;
    };
    std::vector<Return> returns_;
    std::list<Label> call_ends_;
    // A function compiled whole: its own entry, its return, its giving up.
    Label function_, returned_, give_up_;

    // A slot of the frame, or of a compiled callee: those are on the stack.
    Address payload(std::uint64_t slot) {
        if (slot >= jit::callee_slot_base)
            return qword[rsp + static_cast<std::uint32_t>(slot - jit::callee_slot_base)];
        return qword[r8 + static_cast<std::uint32_t>(slot)];
    }
    Address meta(std::uint64_t slot) {
        if (slot >= jit::callee_slot_base)
            return qword[rsp + static_cast<std::uint32_t>(slot - jit::callee_slot_base) + 8];
        return qword[r8 + static_cast<std::uint32_t>(slot) + 8];
    }
    // The stack below the saved registers: the callees' slots, then the
    // xmm registers saved (a loop: xmm6-15 on Windows; a function: those it
    // uses, since its calls of itself use them too).
    std::uint32_t stack_bytes() const {
        const std::size_t xmms = loop_.function ? xmm_.size() : saved_xmms;
        return static_cast<std::uint32_t>(loop_.callee_slots * sizeof(Value) + 16 * xmms);
    }
    std::uint32_t xmm_save_at(std::size_t x) const {
        return static_cast<std::uint32_t>(loop_.callee_slots * sizeof(Value) + 16 * x);
    }
    // A way out to the interpreter at `at`: only from the loop's own steps.
    Label& exit_at(const Instruction* at) {
        if (scope_ != 0)
            throw NotCompiled{};
        return exits_[at];
    }
    Label& label(const Instruction* at) { return labels_[{scope_, at}]; }
    static bool is_callee_slot(std::uint64_t slot) { return slot >= jit::callee_slot_base; }
    void make_labels(const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            label(step.at);
            if (step.op == InternalOp::add_int_loop_next)
                label(step.at + step_length);
        }
    }

    // Registers for the Int and Float slots the loop uses most.
    void allocate() {
        std::map<std::uint64_t, int> uses;
        auto use = [&](std::uint64_t slot) {
            used_[slot] = kinds_.of(slot);
            ++uses[slot];
        };
        for (const Step& step : every_step()) {
            if (step.form == Form::exit)
                continue;
            for (const Source& s : step.arguments)
                if (s.is_slot())
                    use(s.offset);
            if (step.form == Form::call)
                for (const std::vector<std::uint64_t>* slots :
                     {&loop_.bodies[step.body].parameters, &loop_.bodies[step.body].locals})
                    for (std::uint64_t slot : *slots)
                        use(slot);
            for (const Source* s : {&step.x, &step.y})
                if (s->is_slot())
                    use(s->offset);
            if (writes(step))
                use(step.z);
            if (step.form == Form::close || step.form == Form::step_close)
                use(step.counter);
            if (step.form == Form::length || step.form == Form::char_at || step.form == Form::get ||
                step.form == Form::set)
                use(step.array);
        }
        std::vector<std::pair<int, std::uint64_t>> order;
        for (auto [slot, count] : uses)
            order.emplace_back(-count, slot);
        std::sort(order.begin(), order.end());
        for (auto [count, slot] : order) {
            if (used_[slot] == ValueKind::Int && gpr_.size() < std::size(slot_gprs))
                gpr_[slot] = gpr_.size();
            else if (used_[slot] == ValueKind::Float && xmm_.size() < std::size(slot_xmms))
                xmm_[slot] = xmm_.size();
        }
        for (const Step& step : every_step()) {
            if (step.form == Form::exit)
                continue;
            if (writes(step) && (gpr_.count(step.z) || xmm_.count(step.z)))
                written_[step.z] = true;
            if ((step.form == Form::close || step.form == Form::step_close) && gpr_.count(step.counter))
                written_[step.counter] = true;
        }
    }
    static bool writes(const Step& step) {
        switch (step.form) {
            case Form::arithmetic:
            case Form::divisor:
            case Form::bitnot:
            case Form::sqrt:
            case Form::length:
            case Form::char_at:
            case Form::get:
            case Form::copy:
            case Form::step_close:
                return true;
            case Form::call:
            case Form::recurse:
                return step.stores;
            default:
                return false;
        }
    }
    std::vector<std::reference_wrapper<const Step>> every_step() const {
        std::vector<std::reference_wrapper<const Step>> all(loop_.steps.begin(), loop_.steps.end());
        for (const jit::Body& body : loop_.bodies)
            all.insert(all.end(), body.steps.begin(), body.steps.end());
        return all;
    }

    // Saves registers, checks every used slot's kind (else gives the close
    // back untouched), loads the registers and goes to the close.
    void enter() {
        for (const Reg64& r : saved_gprs)
            push(r);
        const std::uint32_t xmms_at = static_cast<std::uint32_t>(loop_.callee_slots * sizeof(Value));
        if (stack_bytes() > 0)
            sub(rsp, stack_bytes());
        for (int i = 0; i < saved_xmms; ++i)
            movdqu(ptr[rsp + xmms_at + 16 * i], Xmm(6 + i));
#ifdef _WIN32
        mov(r8, rcx);
        const Reg64& frames_free = rdx;
#else
        mov(r8, rdi);
        const Reg64& frames_free = rsi;
#endif
        // Each compiled call needs the frame the machine would give it.
        if (loop_.depth > 0) {
            cmp(frames_free, loop_.depth);
            jb(refuse_, T_NEAR);
        }
        for (auto [slot, kind] : used_) {
            if (is_callee_slot(slot))
                continue;
            if (kind == ValueKind::Int || kind == ValueKind::Float)
                cmp(meta(slot), static_cast<std::uint32_t>(kind));
            else
                cmp(byte[r8 + static_cast<std::uint32_t>(slot) + 8], static_cast<std::uint8_t>(kind));
            jne(refuse_, T_NEAR);
        }
        for (auto [slot, r] : gpr_)
            if (!is_callee_slot(slot))
                mov(slot_gprs[r], payload(slot));
        for (auto [slot, r] : xmm_)
            if (!is_callee_slot(slot))
                movsd(slot_xmms[r], payload(slot));
        jmp(label(loop_.steps.back().at), T_NEAR);
    }
    void restore_and_return() {
        const std::uint32_t xmms_at = static_cast<std::uint32_t>(loop_.callee_slots * sizeof(Value));
        for (int i = 0; i < saved_xmms; ++i)
            movdqu(Xmm(6 + i), ptr[rsp + xmms_at + 16 * i]);
        if (stack_bytes() > 0)
            add(rsp, stack_bytes());
        for (auto r = std::rbegin(saved_gprs); r != std::rend(saved_gprs); ++r)
            pop(*r);
        ret();
    }
    // Each exit: the instruction to go on at in rax, the registers written
    // back. Refused entry: the close itself, nothing changed.
    void leave() {
        for (auto& [at, label] : exits_) {
            L(label);
            mov(rax, reinterpret_cast<std::uintptr_t>(at));
            jmp(leave_, T_NEAR);
        }
        L(leave_);
        for (auto [slot, unused] : written_) {
            if (is_callee_slot(slot))
                continue;
            if (auto g = gpr_.find(slot); g != gpr_.end())
                mov(payload(slot), slot_gprs[g->second]);
            else
                movsd(payload(slot), slot_xmms[xmm_.at(slot)]);
        }
        restore_and_return();
        L(refuse_);
        mov(rax, reinterpret_cast<std::uintptr_t>(loop_.steps.back().at));
        restore_and_return();
    }

    // A jump's target: a step of the loop, or an exit outside it; nothing
    // for the middle of a run.
    Label* branch(const Instruction* to) {
        if (scope_ == 0 && (to < loop_.start || to >= loop_.end))
            return &exit_at(to);
        auto found = labels_.find({scope_, to});
        if (found == labels_.end() && scope_ != 0)
            throw NotCompiled{};
        return found == labels_.end() ? nullptr : &found->second;
    }

    // Ints: into a register, or the register already holding the slot.
    void int_to(const Reg64& r, const Source& s) {
        if (!s.is_slot())
            mov(r, static_cast<std::uint64_t>(s.k));
        else if (auto g = gpr_.find(s.offset); g != gpr_.end()) {
            if (slot_gprs[g->second].getIdx() != r.getIdx())
                mov(r, slot_gprs[g->second]);
        } else
            mov(r, payload(s.offset));
    }
    const Reg64& int_in(const Source& s, const Reg64& scratch) {
        if (s.is_slot())
            if (auto g = gpr_.find(s.offset); g != gpr_.end())
                return slot_gprs[g->second];
        int_to(scratch, s);
        return scratch;
    }
    void int_result(std::uint64_t z, const Reg64& r) {
        if (auto g = gpr_.find(z); g != gpr_.end()) {
            if (slot_gprs[g->second].getIdx() != r.getIdx())
                mov(slot_gprs[g->second], r);
        } else
            mov(payload(z), r);
    }
    // Floats, an Int operand converted.
    void float_to(const Xmm& x, const Source& s) {
        if (s.what == Source::floating || s.what == Source::integer) {
            const double value = s.what == Source::integer ? static_cast<double>(s.k) : std::bit_cast<double>(s.k);
            mov(r11, std::bit_cast<std::uint64_t>(value));
            movq(x, r11);
        } else if (auto f = xmm_.find(s.offset); f != xmm_.end())
            movapd(x, slot_xmms[f->second]);
        else if (kinds_.of(s.offset) == ValueKind::Float)
            movsd(x, payload(s.offset));
        else
            cvtsi2sd(x, int_in(s, r11));
    }
    void float_result(std::uint64_t z, const Xmm& x) {
        if (auto f = xmm_.find(z); f != xmm_.end())
            movapd(slot_xmms[f->second], x);
        else
            movsd(payload(z), x);
    }

    void emit(const Step& step) {
        switch (step.form) {
            case Form::exit:
                jmp(exit_at(step.at), T_NEAR);
                return;
            case Form::arithmetic:
                return step.floats ? float_arithmetic(step) : int_arithmetic(step);
            case Form::divisor:
                return constant_divisor(step);
            case Form::compare:
                return compare(step);
            case Form::bitnot:
                int_to(rax, step.x);
                not_(rax);
                return int_result(step.z, rax);
            case Form::sqrt:
                float_to(xmm0, step.x);
                xorpd(xmm1, xmm1);
                ucomisd(xmm0, xmm1);
                jb(exit_at(step.at), T_NEAR);  // below 0, or NaN
                sqrtsd(xmm0, xmm0);
                return float_result(step.z, xmm0);
            case Form::length:
                mov(rax, meta(step.array));
                shr(rax, Value::length_shift);
                return int_result(step.z, rax);
            case Form::char_at:
            case Form::get:
            case Form::set:
                return element(step);
            case Form::copy:
                return copy(step.z, step.x);
            case Form::jump:
                if (Label* to = branch(step.target))
                    jmp(*to, T_NEAR);
                else
                    jmp(exit_at(step.at), T_NEAR);
                return;
            case Form::jump_unless: {
                Label* to = branch(step.target);
                if (!to)
                    return (void)jmp(exit_at(step.at), T_NEAR);
                const Reg64& x = int_in(step.x, rax);
                test(x, x);
                jz(*to, T_NEAR);
                return;
            }
            case Form::step_close:
                int_to(rax, step.x);
                add(rax, int_in(step.y, rcx));
                int_result(step.z, rax);
                L(label(step.at + step_length));
                return close(step);
            case Form::close:
                return close(step);
            case Form::call:
                return compiled_call(step);
            case Form::ret: {
                if (returns_.empty())  // the loop's own function returns
                    return (void)jmp(exit_at(step.at), T_NEAR);
                const Return& to = returns_.back();
                if (!to.call) {  // the function compiled whole
                    payload_to(rax, step.x);
                    xor_(edx, edx);
                } else if (to.call->stores) {
                    copy(to.call->z, step.x);
                }
                jmp(*to.done, T_NEAR);
                return;
            }
            case Form::recurse:
                return recurse(step);
        }
    }

    // An Int's or a Float's payload into a general register.
    void payload_to(const Reg64& r, const Source& s) {
        if (s.is_slot())
            if (auto f = xmm_.find(s.offset); f != xmm_.end())
                return (void)movq(r, slot_xmms[f->second]);
        int_to(r, s);  // a Float in the frame or a constant: its bits
    }

    // The function's call of itself: its own entry, one frame more.
    void recurse(const Step& step) {
        for (std::size_t i = 0; i < step.arguments.size(); ++i)
            payload_to(argument_gprs[i], step.arguments[i]);
        cmp(r8, 1);
        jb(give_up_, T_NEAR);
        dec(r8);
        call(function_);
        inc(r8);
        test(edx, edx);
        jnz(returned_, T_NEAR);  // given up: all the way out
        if (!step.stores)
            return;
        if (kinds_.of(step.z) == ValueKind::Int)
            return int_result(step.z, rax);
        movq(xmm0, rax);
        float_result(step.z, xmm0);
    }

    void zero(const std::vector<std::uint64_t>& slots) {
        for (std::uint64_t slot : slots) {
            if (auto g = gpr_.find(slot); g != gpr_.end())
                xor_(slot_gprs[g->second].cvt32(), slot_gprs[g->second].cvt32());
            else
                mov(payload(slot), 0);
        }
    }

    // The callee's parameters take the arguments, its other slots Int 0;
    // its steps follow, and its returns go on past the call.
    void compiled_call(const Step& step) {
        const jit::Body& body = loop_.bodies[step.body];
        for (std::size_t i = 0; i < body.parameters.size(); ++i)
            copy(body.parameters[i], step.arguments[i]);
        zero(body.locals);
        const std::size_t outer = scope_;
        scope_ = 1 + step.body;
        Label& done = call_ends_.emplace_back();
        returns_.push_back({&done, &step});
        make_labels(body.steps);
        for (const Step& inner : body.steps) {
            L(label(inner.at));
            emit(inner);
        }
        // A callee's last step returns: nothing falls off its end.
        returns_.pop_back();
        scope_ = outer;
        L(done);
    }

    // The counter steps by one (wrapping); back while below the count.
    void close(const Step& step) {
        Label* back = branch(step.target);
        if (!back)
            return (void)jmp(exit_at(step.at + (step.form == Form::step_close ? step_length : 0)), T_NEAR);
        const Reg64& counter = int_in(jit::Source{Source::slot, step.counter, 0}, rax);
        add(counter, 1);
        if (!gpr_.count(step.counter))
            mov(payload(step.counter), counter);
        cmp(counter, int_in(jit::Source{Source::integer, 0, step.count}, rcx));
        jl(*back, T_NEAR);
    }

    void int_arithmetic(const Step& step) {
        switch (step.operation) {
            case Operation::div:
            case Operation::mod: {
                // 0 fails and -1 may overflow: the interpreter does those.
                int_to(rcx, step.y);
                if (jit::divisor_may_fail(step)) {
                    lea(rdx, ptr[rcx + 1]);
                    cmp(rdx, 1);
                    jbe(exit_at(step.at), T_NEAR);
                }
                int_to(rax, step.x);
                cqo();
                idiv(rcx);
                if (step.operation == Operation::mod) {
                    // The remainder takes the divisor's sign.
                    Label done;
                    test(rdx, rdx);
                    jz(done);
                    mov(rax, rdx);
                    xor_(rax, rcx);
                    jns(done);
                    add(rdx, rcx);
                    L(done);
                    mov(rax, rdx);
                }
                return int_result(step.z, rax);
            }
            case Operation::shl:
            case Operation::shr:
                // The machine takes the count's low six bits, as the language does.
                int_to(rcx, step.y);
                int_to(rax, step.x);
                if (step.operation == Operation::shl)
                    shl(rax, cl);
                else
                    sar(rax, cl);
                return int_result(step.z, rax);
            default:
                break;
        }
        int_to(rax, step.x);
        const Reg64& y = int_in(step.y, rcx);
        switch (step.operation) {
            case Operation::add:
                add(rax, y);
                break;
            case Operation::sub:
                sub(rax, y);
                break;
            case Operation::mul:
                imul(rax, y);
                break;
            case Operation::and_:
                and_(rax, y);
                break;
            case Operation::or_:
                or_(rax, y);
                break;
            default:
                xor_(rax, y);
                break;
        }
        int_result(step.z, rax);
    }

    void float_arithmetic(const Step& step) {
        float_to(xmm1, step.y);
        if (jit::divisor_may_fail(step)) {
            // A divisor of 0.0 or -0.0 fails: the interpreter reports it.
            movq(rax, xmm1);
            add(rax, rax);
            jz(exit_at(step.at), T_NEAR);
        }
        float_to(xmm0, step.x);
        switch (step.operation) {
            case Operation::add:
                addsd(xmm0, xmm1);
                break;
            case Operation::sub:
                subsd(xmm0, xmm1);
                break;
            case Operation::mul:
                mulsd(xmm0, xmm1);
                break;
            default:
                divsd(xmm0, xmm1);
                break;
        }
        float_result(step.z, xmm0);
    }

    // x / d and x mod d by a multiply and a shift (see constant_divisor.h):
    // the quotient in rdx, then the remainder x - q * d, taking d's sign.
    void constant_divisor(const Step& step) {
        int_to(rcx, step.x);
        mov(rax, static_cast<std::uint64_t>(step.multiplier));
        imul(rcx);
        if (step.multiplier < 0)
            add(rdx, rcx);
        sar(rdx, static_cast<std::uint8_t>(step.shift));
        mov(rax, rcx);
        shr(rax, 63);
        add(rdx, rax);
        if (step.operation == Operation::mod) {
            mov(rax, static_cast<std::uint64_t>(step.divisor));
            imul(rdx, rax);
            sub(rcx, rdx);
            Label done;
            jns(done);
            add(rcx, rax);
            L(done);
            mov(rdx, rcx);
        }
        int_result(step.z, rdx);
    }

    void compare(const Step& step) {
        Label* otherwise = branch(step.target);
        if (!otherwise)
            return (void)jmp(exit_at(step.at), T_NEAR);
        if (step.floats) {
            float_to(xmm0, step.x);
            float_to(xmm1, step.y);
            ucomisd(xmm0, xmm1);
            jp(exit_at(step.at), T_NEAR);  // NaN: the interpreter decides
            switch (step.relation) {
                case Relation::eq:
                    return (void)jne(*otherwise, T_NEAR);
                case Relation::ne:
                    return (void)je(*otherwise, T_NEAR);
                case Relation::lt:
                    return (void)jae(*otherwise, T_NEAR);
                case Relation::le:
                    return (void)ja(*otherwise, T_NEAR);
                case Relation::gt:
                    return (void)jbe(*otherwise, T_NEAR);
                case Relation::ge:
                    return (void)jb(*otherwise, T_NEAR);
            }
        }
        const Reg64& x = int_in(step.x, rax);
        cmp(x, int_in(step.y, rcx));
        switch (step.relation) {
            case Relation::eq:
                return (void)jne(*otherwise, T_NEAR);
            case Relation::ne:
                return (void)je(*otherwise, T_NEAR);
            case Relation::lt:
                return (void)jge(*otherwise, T_NEAR);
            case Relation::le:
                return (void)jg(*otherwise, T_NEAR);
            case Relation::gt:
                return (void)jle(*otherwise, T_NEAR);
            case Relation::ge:
                return (void)jl(*otherwise, T_NEAR);
        }
    }

    // A byte of a String, an element of an Array read or written, at an
    // index below its length (else the interpreter reports it).
    void element(const Step& step) {
        int_to(rax, step.x);
        mov(rcx, meta(step.array));
        shr(rcx, Value::length_shift);
        cmp(rax, rcx);
        jae(exit_at(step.at), T_NEAR);
        mov(rdx, payload(step.array));
        if (step.form == Form::char_at) {
            movzx(eax, byte[rdx + rax]);
            return int_result(step.z, rax);
        }
        if (step.form == Form::get) {
            mov(rax, qword[rdx + rax * 8]);
            return int_result(step.z, rax);
        }
        mov(qword[rdx + rax * 8], int_in(step.y, rcx));
    }

    // z = x, of x's kind (z's too).
    void copy(std::uint64_t z, const Source& x) {
        const ValueKind kind = x.is_slot()                 ? kinds_.of(x.offset)
                               : x.what == Source::integer ? ValueKind::Int
                                                           : ValueKind::Float;
        switch (kind) {
            case ValueKind::Int:
                int_to(rax, x);
                return int_result(z, rax);
            case ValueKind::Float:
                float_to(xmm0, x);
                return float_result(z, xmm0);
            default:
                // Strings and arrays stay in the frame.
                mov(rax, payload(x.offset));
                mov(rcx, meta(x.offset));
                mov(payload(z), rax);
                mov(meta(z), rcx);
                return;
        }
    }
};

// The machine code `build` makes of `steps` (false: not compiled), or empty.
// Each step takes well under 128 bytes, each slot's check, load and
// write-back under 64 (a step uses at most 3 slots); a callee's steps are
// compiled once per call.
template <typename Build>
std::vector<std::uint8_t> assemble(const jit::LoopSteps& steps, const jit::FrameKinds& kinds, Build build) {
    std::size_t count = steps.steps.size();
    for (const jit::Body& body : steps.bodies)
        count += body.steps.size() + body.parameters.size() + body.locals.size();
    std::vector<std::uint8_t> buffer(2048 + 128 * count + 3 * 64 * count);
    try {
        LoopCode code(buffer.size(), buffer.data(), steps, kinds);
        if (!build(code))
            return {};
        buffer.resize(code.getSize());
    } catch (const Xbyak::Error&) {
        return {};
    } catch (const NotCompiled&) {
        return {};
    }
    return buffer;
}

}  // namespace

std::vector<std::uint8_t> compile_loop(const Instruction& close, const JitFrame& frame, const CompiledCode& compiled) {
    jit::FrameKinds kinds(frame.slots);
    const std::optional<jit::LoopSteps> loop = jit::loop_steps(close, kinds, compiled, frame.callee);
    if (!loop)
        return {};
    return assemble(*loop, kinds, [](LoopCode& code) { return code.build(); });
}

std::vector<std::uint8_t> compile_function(std::size_t chunk, const JitFrame& frame, const CompiledCode& compiled) {
    jit::FrameKinds kinds(frame.slots);
    const std::optional<jit::LoopSteps> function = jit::function_steps(chunk, kinds, compiled, frame.callee);
    if (!function)
        return {};
    return assemble(*function, kinds, [](LoopCode& code) {
        code.build_function();
        return true;
    });
}

}  // namespace oxel

#else

namespace oxel {

std::vector<std::uint8_t> compile_loop(const Instruction&, const JitFrame&, const CompiledCode&) { return {}; }
std::vector<std::uint8_t> compile_function(std::size_t, const JitFrame&, const CompiledCode&) { return {}; }

}  // namespace oxel

#endif
