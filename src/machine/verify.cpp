#include "machine/verify.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "machine/internal_opcodes.h"
#include "machine/machine.h"

namespace oxel {

namespace {

struct StackEffect {
    int pops;
    int pushes;
};

// What one instruction of the image takes from and leaves on the stack.
StackEffect stack_effect(const Instruction& in, const Program& program) {
    const OpcodeFacts& facts = facts_of(in.op);
    if (facts.pops == callee_arity)
        return {program.chunks[static_cast<std::size_t>(in.a)].arity, facts.pushes};
    return {facts.pops, facts.pushes};
}

// How an instruction uses slots and where the run goes after it. One that
// both reads and writes (arrget, fread) reads first, and b may be its a.
// An instruction that fails before it writes ends the run there; none
// fails after it writes.
enum Trait : std::uint8_t {
    reads_a = 1,
    reads_b = 2,
    writes_a = 4,
    jumps = 8,     // to a, when in range (else to the failing end)
    goes_on = 16,  // to the next instruction
    stops = 32,    // nowhere: ret, halt, the machine's failing instructions
    unknown = 64,  // fused code, or anything else past the instruction set
};
constexpr std::uint8_t slot_traits(Operand operand, std::uint8_t read, std::uint8_t written) {
    switch (operand) {
        case Operand::slot_read:
            return read;
        case Operand::slot_written:
            return written;
        case Operand::none:
        case Operand::integer:
        case Operand::float_bits:
        case Operand::string:
        case Operand::chunk:
        case Operand::target:
            return 0;
    }
    return 0;
}
constexpr std::uint8_t flow_traits(Flow flow) {
    switch (flow) {
        case Flow::goes_on:
            return goes_on;
        case Flow::jumps:
            return jumps;
        case Flow::jumps_or_goes_on:
            return jumps | goes_on;
        case Flow::stops:
            return stops;
    }
    return 0;
}
struct TraitTable {
    std::uint8_t of[256];
};
constexpr TraitTable make_traits() {
    TraitTable t{};
    for (int op = 0; op < 256; ++op) {
        if (op < opcode_count) {
            const OpcodeFacts& facts = opcode_facts[op];
            t.of[op] = static_cast<std::uint8_t>(slot_traits(facts.a, reads_a, writes_a) |
                                                 slot_traits(facts.b, reads_b, 0) | flow_traits(facts.flow));
        } else {
            t.of[op] = is_failing(static_cast<InternalOp>(op)) ? stops : unknown;
        }
    }
    return t;
}
constexpr TraitTable traits = make_traits();
static_assert(traits.of[static_cast<int>(Opcode::arrget)] == (goes_on | reads_b | writes_a));
static_assert(traits.of[static_cast<int>(Opcode::jmp_false)] == (jumps | goes_on));

// Bounds on the analysis of slots, in 64-bit words: the states kept and the
// work done. Compiler output stays far below both. Past either, the one
// pass gives way to the superset in SlotsReadFirst::find.
constexpr std::size_t max_state_words = std::size_t{1} << 20;
constexpr std::size_t max_work_words = std::size_t{1} << 24;

}  // namespace

bool verify_stack_heights(std::span<const Instruction> code, const Program& program) {
    std::vector<int> height(code.size(), -1);
    std::vector<std::size_t> pending;
    auto reach = [&](std::size_t at, int h) {
        if (height[at] == -1) {
            height[at] = h;
            pending.push_back(at);
            return true;
        }
        return height[at] == h;
    };
    if (code.empty() || !reach(0, 0))
        return false;
    while (!pending.empty()) {
        const std::size_t at = pending.back();
        pending.pop_back();
        const Instruction& in = code[at];
        if (static_cast<int>(in.op) >= opcode_count)
            continue;  // the machine's own failing instructions: the path ends
        const StackEffect effect = stack_effect(in, program);
        const int h = height[at];
        if (h < effect.pops)
            return false;
        const int after = h - effect.pops + effect.pushes;
        if (after > static_cast<int>(max_stack))
            return false;
        const Flow flow = facts_of(in.op).flow;
        if ((flow == Flow::jumps || flow == Flow::jumps_or_goes_on) &&
            !reach(static_cast<std::size_t>(in.a), after))
            return false;
        if ((flow == Flow::goes_on || flow == Flow::jumps_or_goes_on) && !reach(at + 1, after))
            return false;
    }
    return true;
}

// The usual case in one pass, in index order: jumps forward carry the state
// to their target, where it meets the others; the state at a backward
// jump's target is only checked afterwards to hold no more than the jump
// brings (true when the target comes first on every path to the jump, as
// at the head of a loop). Then no state would change on a second pass, so
// the one pass found exactly what the dataflow finds. Otherwise, and for
// code reached only backwards, false: the caller takes a superset.
bool SlotsReadFirst::find_in_one_pass(std::span<const Instruction> code, std::uint32_t slot_count,
                                      std::uint32_t arity) {
    constexpr std::uint32_t none = UINT32_MAX;
    const std::size_t n = code.size();
    const std::size_t locals = slot_count - arity;
    const std::size_t words = (locals + 63) / 64;
    auto is_slot = [&](std::int64_t s) { return s >= 0 && s < static_cast<std::int64_t>(slot_count); };
    // States in pool_, `words` each: at each index that jumps forward
    // lead to (state_at_), then what each backward jump brings.
    state_at_.assign(n, none);
    pool_.clear();
    back_.clear();
    out_.assign(words, 0);  // the state before the current instruction
    read_first_.assign(locals, 0);
    auto new_state = [&] {
        const auto id = static_cast<std::uint32_t>(pool_.size() / words);
        pool_.insert(pool_.end(), out_.begin(), out_.end());
        return id;
    };
    // Whether the run goes on from `in` to the next instruction: not from
    // ret, halt, jmp, a failing instruction or a slot operand out of range.
    auto continues = [&](const Instruction& in, std::uint8_t t) {
        if (!(t & goes_on))
            return false;
        return !(((t & (reads_a | writes_a)) && !is_slot(in.a)) || ((t & reads_b) && !is_slot(in.b)));
    };
    // Plain pointers in the loop: a store through read_first (bytes) could
    // otherwise alias the vectors and force them to be reloaded.
    std::uint32_t* const state_at = state_at_.data();
    std::uint64_t* const out = out_.data();
    std::uint8_t* const read_first = read_first_.data();
    bool live = true;
    for (std::size_t i = 0; i < n; ++i) {
        const Instruction& in = code[i];
        const std::uint8_t t = traits.of[static_cast<std::uint8_t>(in.op)];
        if (const std::uint32_t id = state_at[i]; id != none) {
            std::uint64_t* state = pool_.data() + std::size_t{id} * words;
            for (std::size_t w = 0; w < words; ++w)
                state[w] = out[w] = live ? out[w] & state[w] : state[w];
            live = true;
        }
        if (!live) {
            if (t & unknown)
                return false;
            continue;
        }
        if (t & (reads_a | reads_b | writes_a)) {
            // Slot operands out of range end the path (the machine fails).
            const auto a = static_cast<std::uint64_t>(in.a);
            if ((t & (reads_a | writes_a)) && a >= slot_count) {
                live = false;
                continue;
            }
            if (t & (reads_a | reads_b)) {
                const auto read = (t & reads_a) ? a : static_cast<std::uint64_t>(in.b);
                if (read >= slot_count) {
                    live = false;
                    continue;
                }
                const std::uint64_t local = read - arity;  // wraps for a parameter
                if (local < locals && ((out[local / 64] >> (local % 64)) & 1) == 0)
                    read_first[local] = 1;
            }
            if (t & writes_a) {
                const std::uint64_t local = a - arity;
                if (local < locals)
                    out[local / 64] |= std::uint64_t{1} << (local % 64);
            }
        } else if (t & (jumps | stops | unknown)) {
            if (t & unknown)
                return false;
            if (t & stops) {
                live = false;
                continue;
            }
            if (in.a >= 0 && static_cast<std::uint64_t>(in.a) < n) {
                const auto target = static_cast<std::size_t>(in.a);
                if (target > i) {
                    if (state_at[target] == none) {
                        state_at[target] = new_state();
                    } else {
                        std::uint64_t* state = pool_.data() + std::size_t{state_at[target]} * words;
                        for (std::size_t w = 0; w < words; ++w)
                            state[w] &= out[w];
                    }
                } else {
                    back_.push_back({static_cast<std::uint32_t>(target), new_state()});
                }
                if (pool_.size() > max_state_words)
                    return false;
            }
            if (!(t & goes_on))
                live = false;  // jmp
        }
    }

    // Each backward jump's target: its state is that of the nearest index
    // at or before it that has one (or the entry's, none), plus what is
    // written from there to it, provided that nothing in between ends the
    // path (else only the backward jump reaches it).
    std::size_t work = 0;
    for (const BackJump& jump : back_) {
        std::size_t from = jump.target;
        while (from > 0 && state_at_[from] == none)
            --from;
        work += jump.target - from + words;
        if (work > max_work_words)
            return false;
        if (state_at_[from] == none)
            std::fill(out_.begin(), out_.end(), 0);
        else
            std::copy_n(pool_.begin() + static_cast<std::ptrdiff_t>(std::size_t{state_at_[from]} * words),
                        words, out_.begin());
        for (std::size_t i = from; i < jump.target; ++i) {
            const Instruction& in = code[i];
            const std::uint8_t t = traits.of[static_cast<std::uint8_t>(in.op)];
            if (!continues(in, t))
                return false;
            if ((t & writes_a) && in.a >= arity) {
                const auto local = static_cast<std::size_t>(in.a - arity);
                out_[local / 64] |= std::uint64_t{1} << (local % 64);
            }
        }
        const std::uint64_t* brought = pool_.data() + std::size_t{jump.state} * words;
        for (std::size_t w = 0; w < words; ++w)
            if (out_[w] & ~brought[w])
                return false;
    }
    for (std::size_t local = 0; local < locals; ++local)
        if (read_first_[local])
            result_.push_back(static_cast<std::uint32_t>(local + arity));
    return true;
}

// The one pass covers all compiler output. Anything else (hand-built code,
// or slots far outnumbering the instructions) gets a superset that needs no
// dataflow: every local the code names, since a slot no instruction names is
// never read; with code past the instruction set, every local.
std::span<const std::uint32_t> SlotsReadFirst::find(std::span<const Instruction> code,
                                                    std::uint32_t slot_count, std::uint32_t arity) {
    result_.clear();
    const std::size_t n = code.size();
    if (slot_count <= arity || n == 0)
        return result_;
    if (slot_count - arity <= 4 * n + 256 && find_in_one_pass(code, slot_count, arity))
        return result_;
    auto name = [&](std::int64_t slot) {
        if (slot >= static_cast<std::int64_t>(arity) && slot < static_cast<std::int64_t>(slot_count))
            result_.push_back(static_cast<std::uint32_t>(slot));
    };
    for (const Instruction& in : code) {
        const std::uint8_t t = traits.of[static_cast<std::uint8_t>(in.op)];
        if (t & unknown) {
            result_.clear();
            for (std::uint32_t s = arity; s < slot_count; ++s)
                result_.push_back(s);
            return result_;
        }
        if (t & (reads_a | writes_a))
            name(in.a);
        if (t & reads_b)
            name(in.b);
    }
    std::sort(result_.begin(), result_.end());
    result_.erase(std::unique(result_.begin(), result_.end()), result_.end());
    return result_;
}

std::vector<std::uint32_t> slots_read_before_written(std::span<const Instruction> code,
                                                     std::uint32_t slot_count, std::uint32_t arity) {
    SlotsReadFirst analysis;
    const std::span<const std::uint32_t> slots = analysis.find(code, slot_count, arity);
    return {slots.begin(), slots.end()};
}

}  // namespace oxel
