#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "machine/constant_divisor.h"
#include "machine/internal_opcodes.h"

namespace oxel {

namespace {

using Code = std::vector<Instruction>;

std::int64_t pack(std::int64_t low, std::int64_t high) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(low) |
                                     (static_cast<std::uint64_t>(high) << 32));
}

// Slots are below 2^32 already (a chunk counts them in 32 bits); targets
// are checked, so a chunk of over 4 billion instructions just runs unfused.
bool fits(std::int64_t number) { return number >= 0 && number <= std::numeric_limits<std::uint32_t>::max(); }

// The fused instruction for `form` at `at`, whose run is known to be there;
// false when its operands cannot be packed or the run's own conditions fail.
bool pack_operands(const FusedForm& form, Instruction* run, Instruction& out) {
    const Instruction& last = run[form.run.size() - 1];
    std::int64_t a = 0, b = 0;
    switch (form.layout) {
        case Layout::xyz:
            if (!fits(run[0].a) || !fits(run[1].a) || !fits(last.a))
                return false;
            a = pack(run[0].a, run[1].a);
            b = last.a;
            break;
        case Layout::xkz:
            if (!fits(run[0].a) || !fits(last.a))
                return false;
            a = run[1].a;
            b = pack(run[0].a, last.a);
            break;
        case Layout::kyz:
            if (!fits(run[1].a) || !fits(last.a))
                return false;
            a = run[0].a;
            b = pack(run[1].a, last.a);
            break;
        case Layout::xz:
            a = run[0].a;
            b = last.a;
            break;
        case Layout::call:
            if (form.run.size() == 2) {
                a = last.a;
                b = run[0].a;
            } else {
                if (!fits(run[0].a) || !fits(run[1].a))
                    return false;
                a = last.a;
                b = pack(run[0].a, run[1].a);
            }
            break;
        case Layout::get_x:
            if (!fits(run[0].a) || !fits(run[1].a))
                return false;
            a = pack(run[0].a, run[1].a);
            b = run[1].b;
            break;
        case Layout::get_k:
            if (!fits(run[1].a) || !fits(run[1].b))
                return false;
            a = run[0].a;
            b = pack(run[1].a, run[1].b);
            break;
        case Layout::divisor: {
            if constexpr (!constant_divisors_available) {
                return false;
            } else {
                const auto divisor = ConstantDivisor::of(run[1].a);
                if (!divisor || !fits(run[0].a) || !fits(last.a))
                    return false;
                a = run[1].a;
                b = pack(run[0].a, last.a);
                run[1].b = divisor->multiplier;
                run[2].a = divisor->shift;
            }
            break;
        }
        case Layout::step_loop: {
            const std::int64_t counter = run[4].a;
            if (run[5].a != 1 || run[7].a != counter || run[8].a != counter || !fits(counter) ||
                !fits(last.a))
                return false;
            a = run[9].a;
            b = pack(counter, last.a);
            run[2].a = run[0].a;
            break;
        }
        case Layout::loop: {
            // The counter is one slot throughout, stepped by one.
            const std::int64_t counter = run[0].a;
            if (run[1].a != 1 || run[3].a != counter || run[4].a != counter || !fits(counter) ||
                !fits(last.a))
                return false;
            a = run[5].a;
            b = pack(counter, last.a);
            break;
        }
    }
    out = Instruction{a, b, run[0].line, static_cast<Opcode>(form.op)};
    return true;
}

// The fused forms whose run starts with each opcode, in matching order.
struct FormsByFirst {
    std::array<std::vector<const FusedForm*>, opcode_count> forms;
    FormsByFirst() {
        for (const FusedForm& form : fused_forms)
            forms[static_cast<std::size_t>(form.run[0])].push_back(&form);
    }
};

bool run_is_at(const Code& code, std::size_t at, const FusedForm& form) {
    if (form.run.size() > code.size() - at)
        return false;
    for (std::size_t i = 0; i < form.run.size(); ++i)
        if (code[at + i].op != form.run[i])
            return false;
    return true;
}

}  // namespace

std::string_view runnable_opcode_name(std::uint8_t op) {
    static constexpr std::string_view machine_names[] = {
#define OXEL_ROW(name) #name,
        OXEL_MACHINE_OPS(OXEL_ROW)
#undef OXEL_ROW
    };
    if (op < opcode_count)
        return opcode_names[op];
    const std::size_t own = op - static_cast<std::size_t>(opcode_count);
    if (own < std::size(machine_names))
        return machine_names[own];
    const std::size_t fused = own - std::size(machine_names);
    return fused < std::size(fused_forms) ? fused_forms[fused].name : std::string_view("?");
}

void fuse_instructions(Code& code) {
    static const FormsByFirst by_first;
    for (std::size_t at = 0; at < code.size();) {
        std::size_t length = 1;
        const auto first = static_cast<std::size_t>(code[at].op);
        if (first < opcode_count) {
            for (const FusedForm* form : by_first.forms[first]) {
                if (run_is_at(code, at, *form) && pack_operands(*form, &code[at], code[at])) {
                    length = form->run.size();
                    if (form->layout == Layout::step_loop)
                        length = 4;  // the loop's close is fused next, on its own
                    break;
                }
            }
        }
        at += length;
    }
}

}  // namespace oxel
