#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "machine/constant_divisor.h"
#include "machine/internal_opcodes.h"
#include "runtime/value.h"

namespace oxel {

namespace {

using Code = std::vector<Instruction>;

std::int64_t pack(std::int64_t low, std::int64_t high) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) |
                                     (static_cast<std::uint64_t>(high) << 32));
}

// Numbers a fused instruction packs two to an operand must fit in 32 bits;
// a run whose numbers do not (a chunk of many millions of slots or
// instructions) just runs unfused.
bool fits(std::int64_t number) { return number >= 0 && number <= std::numeric_limits<std::uint32_t>::max(); }
bool fits_signed(std::int64_t number) {
    return number >= std::numeric_limits<std::int32_t>::min() &&
           number <= std::numeric_limits<std::int32_t>::max();
}

// A jump target as the fused instruction at `at` holds it: the byte offset
// from that instruction, which a taken jump adds to it.
std::int64_t offset_to(std::int64_t target, std::size_t at) {
    return (target - static_cast<std::int64_t>(at)) * static_cast<std::int64_t>(sizeof(Instruction));
}
// The index a fused instruction at `at` jumps to, from its offset.
std::size_t target_of(std::int64_t offset, std::size_t at) {
    return at + static_cast<std::size_t>(offset / static_cast<std::int64_t>(sizeof(Instruction)));
}

// One number of a fused instruction, taken from an instruction of its run:
// a slot as its byte offset in the frame's slots (the handlers add it to
// the slots' address without scaling), a jump target as its offset from the
// fused instruction, a constant or chunk as it is. `half` is what a packed
// 32-bit half holds of it; `packs` says whether it fits there.
struct Field {
    std::int64_t value;
    bool packs;
    std::int64_t half() const { return static_cast<std::uint32_t>(value); }
};
Field slot_field(std::int64_t slot) {
    const std::int64_t offset = slot * static_cast<std::int64_t>(sizeof(Value));
    return {offset, fits(offset)};
}
Field field_of(const Instruction& in, std::size_t at) {
    switch (facts_of(in.op).a) {
        case Operand::slot_read:
        case Operand::slot_written:
            return slot_field(in.a);
        case Operand::target: {
            const std::int64_t offset = offset_to(in.a, at);
            return {offset, fits_signed(offset)};
        }
        case Operand::none:
        case Operand::integer:
        case Operand::float_bits:
        case Operand::string:
        case Operand::chunk:
            break;
    }
    return {in.a, fits(in.a)};
}

// The fused instruction for `form` at `at`, whose run is known to be there;
// false when its operands cannot be packed or the run's own conditions fail.
bool pack_operands(const FusedForm& form, std::size_t at, const Instruction* run, FusedOperands& operands,
                   Instruction& out) {
    const Field x = field_of(run[0], at);
    const Field y = field_of(run[1], at);
    const Field z = field_of(run[form.run.size() - 1], at);
    std::int64_t a = 0, b = 0;
    switch (form.layout) {
        case Layout::xyz:
            if (!x.packs || !y.packs)
                return false;
            a = pack(x.half(), y.half());
            b = z.value;
            break;
        case Layout::xkz:
            if (!x.packs || !z.packs)
                return false;
            a = run[1].a;
            b = pack(x.half(), z.half());
            break;
        case Layout::kyz:
            if (!y.packs || !z.packs)
                return false;
            a = run[0].a;
            b = pack(y.half(), z.half());
            break;
        case Layout::xz:
            a = x.value;
            b = z.value;
            break;
        case Layout::call:
            a = z.value;  // the chunk
            if (form.run.size() == 2) {
                b = x.value;
            } else {
                if (!x.packs || !y.packs)
                    return false;
                b = pack(x.half(), y.half());
            }
            break;
        case Layout::get_x: {
            const Field target = slot_field(run[1].a);
            if (!x.packs || !target.packs)
                return false;
            a = pack(x.half(), target.half());
            b = slot_field(run[1].b).value;
            break;
        }
        case Layout::get_k: {
            const Field target = slot_field(run[1].a), array = slot_field(run[1].b);
            if (!target.packs || !array.packs)
                return false;
            a = run[0].a;
            b = pack(target.half(), array.half());
            break;
        }
        case Layout::divisor: {
            if constexpr (!constant_divisors_available) {
                return false;
            } else {
                const auto divisor = ConstantDivisor::of(run[1].a);
                if (!divisor || !x.packs || !z.packs)
                    return false;
                operands.divisors.push_back({run[1].a, divisor->multiplier, divisor->shift});
                a = static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(&operands.divisors.back()));
                b = pack(x.half(), z.half());
            }
            break;
        }
        case Layout::step_loop: {
            const std::int64_t counter = run[4].a;
            const Field counter_slot = slot_field(counter);
            if (run[5].a != 1 || run[7].a != counter || run[8].a != counter || !counter_slot.packs ||
                !z.packs)
                return false;
            a = x.value;
            b = pack(counter_slot.half(), z.half());
            break;
        }
        case Layout::loop: {
            // The counter is one slot throughout, stepped by one.
            const std::int64_t counter = run[0].a;
            if (run[1].a != 1 || run[3].a != counter || run[4].a != counter || !x.packs || !z.packs)
                return false;
            a = run[loop_count_at].a;
            b = pack(x.half(), z.half());
            break;
        }
        case Layout::while_loop:
            return false;  // made from a fused close, see fold_while_conditions
        case Layout::arguments:
            return false;  // of no fixed length, see call_args_run
    }
    out = Instruction{a, b, run[0].line, static_cast<Opcode>(form.op)};
    return true;
}

// The fused forms whose run starts with each pair of opcodes, in matching
// order (every run is at least two long): a load is followed by one of a
// few forms, not tried against all that start with a load.
struct FormsByStart {
    std::vector<std::vector<const FusedForm*>> forms;
    FormsByStart() : forms(opcode_count * opcode_count) {
        for (const FusedForm& form : fused_forms)
            if (form.layout != Layout::arguments)
                forms[index(form.run[0], form.run[1])].push_back(&form);
    }
    static std::size_t index(Opcode first, Opcode second) {
        return static_cast<std::size_t>(first) * opcode_count + static_cast<std::size_t>(second);
    }
};

// Whether the `length` instructions from `at` are free of boundaries past the first.
bool within_boundaries(std::span<const std::uint32_t> boundaries, std::size_t at, std::size_t length) {
    if (boundaries.empty())
        return true;
    for (std::size_t i = at + 1; i < at + length; ++i)
        if (boundaries[i] != 0)
            return false;
    return true;
}

bool run_is_at(const Code& code, std::size_t at, const FusedForm& form) {
    if (form.run.size() > code.size() - at)
        return false;
    for (std::size_t i = 0; i < form.run.size(); ++i)
        if (code[at + i].op != form.run[i])
            return false;
    return true;
}

// A call's argument pushes and the call (see call_args): the run's length,
// or 0 when what is at `at` is no such run.
std::size_t call_args_run(const Code& code, std::size_t at) {
    if (code[at].op != Opcode::load || !slot_field(code[at].a).packs)
        return 0;
    constexpr std::size_t most_arguments = 255;  // a chunk's arity is 8 bits
    for (std::size_t k = 1; k <= most_arguments && at + k < code.size(); ++k) {
        const Opcode op = code[at + k].op;
        if (op == Opcode::call)
            return k + 1;
        if (std::find(std::begin(call_argument_pushes), std::end(call_argument_pushes), op) ==
            std::end(call_argument_pushes))
            return 0;
    }
    return 0;
}

// A loop's close jumps back to its while-condition; where that is a fused
// comparison of two slots or a slot and an integer, the close evaluates it
// itself and spares the dispatch.
void fold_while_conditions(Code& code, std::span<const std::uint32_t> boundaries) {
    const auto close = static_cast<Opcode>(InternalOp::loop_next);
    for (std::size_t at = 0; at < code.size(); ++at) {
        if (code[at].op != close)
            continue;
        const auto offset = static_cast<std::int32_t>(static_cast<std::uint64_t>(code[at].b) >> 32);
        const std::size_t target = target_of(offset, at);
        if (!boundaries.empty() && boundaries[target] != 0)
            continue;
        const Opcode condition = code[target].op;
        for (const WhileFold& fold : while_folds)
            if (condition == static_cast<Opcode>(fold.condition))
                code[at].op = static_cast<Opcode>(fold.close);
    }
}

}  // namespace

void fuse_instructions(Code& code, FusedOperands& operands, std::span<const std::uint32_t> boundaries) {
    static const FormsByStart by_start;
    // The code ends with the machine's fell_off, so every instruction of the
    // image has one after it.
    for (std::size_t at = 0; at + 1 < code.size();) {
        std::size_t length = 1;
        const auto first = static_cast<std::size_t>(code[at].op);
        const auto second = static_cast<std::size_t>(code[at + 1].op);
        if (first < opcode_count) {
            static const std::vector<const FusedForm*> none;
            const auto& candidates = second < opcode_count
                                         ? by_start.forms[FormsByStart::index(code[at].op, code[at + 1].op)]
                                         : none;
            for (const FusedForm* form : candidates) {
                if (run_is_at(code, at, *form) && within_boundaries(boundaries, at, form->run.size()) &&
                    pack_operands(*form, at, &code[at], operands, code[at])) {
                    length = form->run.size();
                    if (form->layout == Layout::step_loop)
                        length = step_length;  // the loop's close is fused next, on its own
                    break;
                }
            }
            if (length == 1) {
                if (const std::size_t run = call_args_run(code, at);
                    run != 0 && within_boundaries(boundaries, at, run)) {
                    const Instruction& call = code[at + run - 1];
                    code[at] = Instruction{
                        call.a, pack(slot_field(code[at].a).half(), static_cast<std::int64_t>(run - 1)),
                        code[at].line, as_opcode(InternalOp::call_args)};
                    length = run;
                }
            }
        }
        at += length;
    }
    fold_while_conditions(code, boundaries);
}

}  // namespace oxel
