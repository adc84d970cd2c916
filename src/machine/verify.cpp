#include "machine/verify.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
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
    using enum Opcode;
    switch (in.op) {
        case push_int:
        case push_float:
        case push_str:
        case load:
            return {0, 1};
        case store:
        case pop:
        case newarr:
        case arrget:
        case echo:
        case vga:
        case jmp_false:
        case fread:
        case fwrite:
        case ret:
            return {1, 0};
        case add:
        case sub:
        case mul:
        case div:
        case mod:
        case eq:
        case ne:
        case lt:
        case le:
        case gt:
        case ge:
        case and_:
        case or_:
        case xor_:
        case shl:
        case shr:
        case charat:
        case cmpstr:
        case cat:
            return {2, 1};
        case bitnot:
        case sqrt:
        case len:
            return {1, 1};
        case arrset:
        case echow:
        case pout:
        case fopen:
            return {2, 0};
        case input:
        case jmp:
        case fclose:
        case halt:
            return {0, 0};
        case call:
            return {program.chunks[static_cast<std::size_t>(in.a)].arity, 1};
    }
    return {0, 0};
}

// Whether the run goes on to the next instruction after `in`.
bool falls_through(Opcode op) { return op != Opcode::jmp && op != Opcode::ret && op != Opcode::halt; }

constexpr std::int64_t no_slot = -1;

// The slot an instruction reads and the one it writes, no_slot for none.
// One that does both reads first (arrget's and fread's b may be their a).
// An instruction that may fail after it writes has none that do; one that
// fails before it writes ends the run there.
struct SlotUse {
    std::int64_t reads = no_slot;
    std::int64_t writes = no_slot;
};

SlotUse slot_use(const Instruction& in) {
    using enum Opcode;
    switch (in.op) {
        case load:
        case arrset:
        case fwrite:
        case fclose:
            return {in.a, no_slot};
        case store:
        case newarr:
        case input:
        case fopen:
            return {no_slot, in.a};
        case arrget:
        case fread:
            return {in.b, in.a};
        default:
            return {};
    }
}

// The machine's own failing instructions: where a path ends.
bool is_failing(std::uint8_t op) {
    return op == static_cast<std::uint8_t>(InternalOp::fell_off) ||
           op == static_cast<std::uint8_t>(InternalOp::bad_slot) ||
           op == static_cast<std::uint8_t>(InternalOp::bad_opcode);
}

// Bounds on the dataflow over slots, in 64-bit words: the states kept (one
// per block) and the work done. Compiler output stays far below both; past
// either, the slots read before written somewhere in their own block are
// taken instead, a superset that needs no dataflow.
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
        if (in.op == Opcode::jmp || in.op == Opcode::jmp_false) {
            if (!reach(static_cast<std::size_t>(in.a), after))
                return false;
        }
        if (falls_through(in.op) && !reach(at + 1, after))
            return false;
    }
    return true;
}

// Over blocks of straight code: a slot is a candidate when some reachable
// block reads it before writing it itself; only candidates can be read
// before written, and only they take part in the dataflow. The state at a
// block's entry is the set of candidates written on every path to it
// (meet: intersection); a candidate read in a block before the block
// writes it, and not in the block's entry state, is the answer's.
std::vector<std::uint32_t> slots_read_before_written(std::span<const Instruction> code,
                                                     std::uint32_t slot_count, std::uint32_t arity) {
    std::vector<std::uint32_t> result;
    const std::size_t n = code.size();
    if (slot_count <= arity || n == 0)
        return result;
    auto every_slot = [&] {
        for (std::uint32_t s = arity; s < slot_count; ++s)
            result.push_back(s);
        return result;
    };
    auto is_slot = [&](std::int64_t s) { return s >= 0 && s < static_cast<std::int64_t>(slot_count); };

    // Operands checked; blocks start at the entry, at jump targets and after
    // every jump or end of a path.
    std::vector<std::uint8_t> starts(n + 1, 0);
    starts[0] = 1;
    for (std::size_t i = 0; i < n; ++i) {
        const Instruction& in = code[i];
        const auto op = static_cast<std::uint8_t>(in.op);
        if (op >= opcode_count) {
            if (!is_failing(op))
                return every_slot();  // fused code, or anything else unknown
            starts[i + 1] = 1;
            continue;
        }
        const SlotUse use = slot_use(in);
        if ((use.reads != no_slot && !is_slot(use.reads)) || (use.writes != no_slot && !is_slot(use.writes)))
            return every_slot();
        if (in.op == Opcode::jmp || in.op == Opcode::jmp_false) {
            if (in.a < 0 || static_cast<std::uint64_t>(in.a) >= n)
                return every_slot();
            starts[static_cast<std::size_t>(in.a)] = 1;
            starts[i + 1] = 1;
        } else if (in.op == Opcode::ret || in.op == Opcode::halt) {
            starts[i + 1] = 1;
        }
    }
    std::vector<std::uint32_t> block_of(n);
    std::vector<std::size_t> first;  // each block's first index, then n
    for (std::size_t i = 0; i < n; ++i) {
        if (starts[i])
            first.push_back(i);
        block_of[i] = static_cast<std::uint32_t>(first.size() - 1);
    }
    const std::size_t blocks = first.size();
    first.push_back(n);
    auto for_each_successor = [&](std::size_t b, auto&& visit) {
        const std::size_t last = first[b + 1] - 1;
        const Instruction& in = code[last];
        if (static_cast<std::uint8_t>(in.op) >= opcode_count || in.op == Opcode::ret || in.op == Opcode::halt)
            return;
        if (in.op == Opcode::jmp || in.op == Opcode::jmp_false)
            visit(block_of[static_cast<std::size_t>(in.a)]);
        if (in.op != Opcode::jmp && last + 1 < n)  // falling off the array ends the path
            visit(block_of[last + 1]);
    };

    std::vector<std::uint8_t> reached(blocks, 0);
    {
        std::vector<std::uint32_t> pending{0};
        reached[0] = 1;
        while (!pending.empty()) {
            const std::size_t b = pending.back();
            pending.pop_back();
            for_each_successor(b, [&](std::uint32_t next) {
                if (!reached[next]) {
                    reached[next] = 1;
                    pending.push_back(next);
                }
            });
        }
    }

    // Per reached block: the slots it reads before writing them (`exposed`)
    // and, once the candidates are known, the candidates it writes.
    constexpr std::uint32_t none = UINT32_MAX;
    std::vector<std::uint32_t> candidate(slot_count, none);  // slot -> bit
    std::uint32_t candidates = 0;
    std::vector<std::uint32_t> written_in(slot_count, 0), read_in(slot_count, 0);  // block + 1 marks
    std::vector<std::size_t> exposed_start(blocks + 1), writes_start(blocks + 1);
    std::vector<std::uint32_t> exposed, writes;
    for (std::size_t b = 0; b < blocks; ++b) {
        exposed_start[b] = exposed.size();
        if (!reached[b])
            continue;
        const auto mark = static_cast<std::uint32_t>(b + 1);
        for (std::size_t i = first[b]; i < first[b + 1]; ++i) {
            if (static_cast<std::uint8_t>(code[i].op) >= opcode_count)
                continue;
            const SlotUse use = slot_use(code[i]);
            if (use.reads >= static_cast<std::int64_t>(arity)) {
                const auto s = static_cast<std::uint32_t>(use.reads);
                if (written_in[s] != mark && read_in[s] != mark) {
                    read_in[s] = mark;
                    exposed.push_back(s);
                    if (candidate[s] == none)
                        candidate[s] = candidates++;
                }
            }
            if (use.writes != no_slot)
                written_in[static_cast<std::size_t>(use.writes)] = mark;
        }
    }
    exposed_start[blocks] = exposed.size();
    if (candidates == 0)
        return result;
    auto every_candidate = [&] {
        for (std::uint32_t s = arity; s < slot_count; ++s)
            if (candidate[s] != none)
                result.push_back(s);
        return result;
    };
    const std::size_t words = (candidates + 63) / 64;
    if (blocks > max_state_words / words)
        return every_candidate();
    std::fill(written_in.begin(), written_in.end(), 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        writes_start[b] = writes.size();
        if (!reached[b])
            continue;
        const auto mark = static_cast<std::uint32_t>(b + 1);
        for (std::size_t i = first[b]; i < first[b + 1]; ++i) {
            if (static_cast<std::uint8_t>(code[i].op) >= opcode_count)
                continue;
            const std::int64_t w = slot_use(code[i]).writes;
            if (w == no_slot)
                continue;
            const auto s = static_cast<std::size_t>(w);
            if (candidate[s] != none && written_in[s] != mark) {
                written_in[s] = mark;
                writes.push_back(candidate[s]);
            }
        }
    }
    writes_start[blocks] = writes.size();

    // The candidates written on every path to each block's entry: none at
    // the chunk's entry; a block not yet reached takes the first state that
    // arrives, later ones narrow it.
    std::vector<std::uint64_t> state(blocks * words, 0);
    std::vector<std::uint8_t> seen(blocks, 0), queued(blocks, 0);
    std::vector<std::uint64_t> out(words);
    std::deque<std::uint32_t> queue{0};
    seen[0] = queued[0] = 1;
    std::size_t work = 0;
    while (!queue.empty()) {
        const std::size_t b = queue.front();
        queue.pop_front();
        queued[b] = 0;
        work += 3 * words + (writes_start[b + 1] - writes_start[b]);
        if (work > max_work_words)
            return every_candidate();
        std::copy_n(state.begin() + static_cast<std::ptrdiff_t>(b * words), words, out.begin());
        for (std::size_t k = writes_start[b]; k < writes_start[b + 1]; ++k)
            out[writes[k] / 64] |= std::uint64_t{1} << (writes[k] % 64);
        for_each_successor(b, [&](std::uint32_t next) {
            std::uint64_t* into = state.data() + static_cast<std::size_t>(next) * words;
            bool changed = false;
            if (!seen[next]) {
                seen[next] = 1;
                std::copy_n(out.begin(), words, into);
                changed = true;
            } else {
                for (std::size_t w = 0; w < words; ++w) {
                    const std::uint64_t narrowed = into[w] & out[w];
                    changed |= narrowed != into[w];
                    into[w] = narrowed;
                }
            }
            if (changed && !queued[next]) {
                queued[next] = 1;
                queue.push_back(next);
            }
        });
    }

    std::vector<std::uint8_t> read_first(candidates, 0);
    for (std::size_t b = 0; b < blocks; ++b) {
        if (!reached[b])
            continue;
        const std::uint64_t* entry = state.data() + b * words;
        for (std::size_t k = exposed_start[b]; k < exposed_start[b + 1]; ++k) {
            const std::uint32_t bit = candidate[exposed[k]];
            if (((entry[bit / 64] >> (bit % 64)) & 1) == 0)
                read_first[bit] = 1;
        }
    }
    for (std::uint32_t s = arity; s < slot_count; ++s)
        if (candidate[s] != none && read_first[candidate[s]])
            result.push_back(s);
    return result;
}

}  // namespace oxel
