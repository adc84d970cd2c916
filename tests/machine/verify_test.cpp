// The load-time checks: which chunks may run fused without stack checks, and
// which slots a call must zero.
#include "machine/verify.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace oxel {
namespace {

using enum Opcode;

struct Case {
    const char* what;
    std::vector<Instruction> code;  // fell_off is appended
    bool verifies;
};

Instruction ins(Opcode op, std::int64_t a = 0) { return {a, 0, 1, op}; }

TEST(VerifyStackHeights, AcceptsConsistentCodeAndRejectsEveryWayOut) {
    std::vector<Instruction> full(512, ins(push_int, 1));
    std::vector<Instruction> too_full(513, ins(push_int, 1));
    full.push_back(ins(halt));
    too_full.push_back(ins(halt));
    std::vector<Instruction> full_call = full;
    full_call.back() = ins(call, 0);  // 512 - 1 argument + 1 result
    full_call.push_back(ins(halt));
    const Case cases[] = {
        {"straight line", {ins(push_int), ins(push_int), ins(add), ins(store), ins(halt)}, true},
        {"a loop back to an equal height", {ins(push_int), ins(jmp_false, 0), ins(halt)}, true},
        {"a join of two paths", {ins(push_int), ins(jmp_false, 4), ins(push_int), ins(pop), ins(halt)}, true},
        {"a loop that grows the stack", {ins(push_int), ins(jmp, 0)}, false},
        {"a join of different heights",
         {ins(push_int), ins(push_int), ins(jmp_false, 4), ins(push_int), ins(echo), ins(halt)},
         false},
        {"an underflow", {ins(pop), ins(halt)}, false},
        {"an underflow on a binary operation", {ins(push_int), ins(add), ins(halt)}, false},
        {"an underflow after the end is reached", {ins(jmp, 3), ins(halt), ins(halt), ins(pop)}, false},
        {"code after halt is never reached", {ins(halt), ins(pop)}, true},
        {"512 values", full, true},
        {"513 values", too_full, false},
        {"a call that takes its argument before its result", full_call, true},
        {"a call short of arguments", {ins(call, 0), ins(halt)}, false},
        {"the machine's own failing instructions end the path",
         {Instruction{0, 0, 1, static_cast<Opcode>(opcode_count + 1)}, ins(pop)},
         true},
    };
    Program program;
    Chunk callee;
    callee.name = "f";
    callee.arity = 1;
    add_chunk(program, callee);
    for (const Case& c : cases) {
        std::vector<Instruction> code = c.code;
        code.push_back(Instruction{0, 0, 1, static_cast<Opcode>(opcode_count)});
        EXPECT_EQ(verify_stack_heights(code, program), c.verifies) << c.what;
    }
}

// ---- slots read before written

Instruction ins2(Opcode op, std::int64_t a, std::int64_t b) { return {a, b, 1, op}; }
const Instruction fell_off{0, 0, 1, static_cast<Opcode>(opcode_count)};

std::vector<std::uint32_t> read_first(std::vector<Instruction> code, std::uint32_t slots,
                                      std::uint32_t arity = 0) {
    code.push_back(fell_off);
    return slots_read_before_written(code, slots, arity);
}

struct SlotCase {
    const char* what;
    std::vector<Instruction> code;  // fell_off is appended
    std::uint32_t slots;
    std::uint32_t arity;
    std::vector<std::uint32_t> read_first;
};

TEST(SlotsReadBeforeWritten, FindsTheSlotsSomePathReadsFirst) {
    const Instruction bad_slot{9, 0, 1, static_cast<Opcode>(opcode_count + 1)};
    const Instruction fused{0, 0, 1, static_cast<Opcode>(opcode_count + 3)};
    const SlotCase cases[] = {
        {"straight line",
         {ins(push_int), ins(store, 1), ins(load, 1), ins(load, 2), ins(load, 0), ins(halt)},
         3,
         0,
         {0, 2}},
        {"written on one branch, read after the join",
         {ins(push_int), ins(jmp_false, 4), ins(push_int), ins(store, 1), ins(load, 1), ins(halt)},
         2,
         0,
         {1}},
        {"written on both branches",
         {ins(push_int), ins(jmp_false, 5), ins(push_int), ins(store, 1), ins(jmp, 7), ins(push_int),
          ins(store, 1), ins(load, 1), ins(halt)},
         2,
         0,
         {}},
        {"a loop reads what its body writes later",
         {ins(push_int), ins(store, 0), ins(load, 1), ins(pop), ins(push_int), ins(store, 1), ins(load, 0),
          ins(jmp_false, 2), ins(halt)},
         2,
         0,
         {1}},
        {"written before the loop",
         {ins(push_int), ins(store, 1), ins(load, 1), ins(jmp_false, 2), ins(halt)},
         2,
         0,
         {}},
        {"the entry is a loop target",
         {ins(load, 1), ins(store, 1), ins(push_int), ins(jmp_false, 0), ins(halt)},
         2,
         0,
         {1}},
        {"parameters are written on entry", {ins(load, 0), ins(load, 1), ins(load, 2), ins(halt)}, 4, 2, {2}},
        {"arrget and fread read b before writing a",
         {ins(push_int), ins2(arrget, 1, 1), ins(push_int), ins2(arrget, 2, 3), ins(push_int),
          ins2(fread, 4, 4), ins(load, 2), ins(halt)},
         5,
         0,
         {1, 3, 4}},
        {"newarr, input and fopen write; arrset, fwrite and fclose read",
         {ins(push_int), ins(newarr, 0), ins(input, 1), ins(push_int), ins(push_int), ins(fopen, 2),
          ins(load, 0), ins(load, 1), ins(load, 2), ins(push_int), ins(push_int), ins(arrset, 3),
          ins(push_int), ins(fwrite, 4), ins(fclose, 5), ins(halt)},
         6,
         0,
         {3, 4, 5}},
        {"nothing runs after ret, halt or a failing instruction",
         {ins(push_int), ins(jmp_false, 4), ins(push_int), ins(ret), ins(halt), ins(load, 1)},
         2,
         0,
         {}},
        {"a failing instruction ends the path", {bad_slot, ins(load, 1)}, 2, 0, {}},
        {"a jump over a read", {ins(jmp, 2), ins(load, 1), ins(halt)}, 2, 0, {}},
        {"unknown code: every slot but the parameters", {fused, ins(halt)}, 4, 1, {1, 2, 3}},
        {"a jump out of range ends its path",
         {ins(push_int), ins(jmp_false, 99), ins(load, 1), ins(jmp, -1), ins(load, 2)},
         3,
         1,
         {1}},
        {"a slot out of range ends the path", {ins(load, 3), ins(load, 1)}, 3, 1, {}},
        {"a huge slot count costs nothing",
         {ins(load, 4000000000), ins(halt)},
         4000000001u,
         0,
         {4000000000u}},
    };
    for (const SlotCase& c : cases)
        EXPECT_EQ(read_first(c.code, c.slots, c.arity), c.read_first) << c.what;
}

// Per slot, whether a path from the entry reaches a read of it without
// passing a write: the definition itself, one search per slot.
std::vector<std::uint32_t> read_first_by_search(const std::vector<Instruction>& code, std::uint32_t slots,
                                                std::uint32_t arity) {
    std::vector<std::uint32_t> found;
    for (std::uint32_t slot = arity; slot < slots; ++slot) {
        const std::int64_t s = slot;
        std::vector<bool> seen(code.size(), false);
        std::vector<std::size_t> pending{0};
        bool read = false;
        while (!pending.empty() && !read) {
            const std::size_t at = pending.back();
            pending.pop_back();
            if (at >= code.size() || seen[at])
                continue;
            seen[at] = true;
            const Instruction& in = code[at];
            const bool two = in.op == arrget || in.op == fread;
            const bool reads =
                (two && in.b == s) ||
                (in.a == s && (in.op == load || in.op == arrset || in.op == fwrite || in.op == fclose));
            const bool writes =
                in.a == s && (two || in.op == store || in.op == newarr || in.op == input || in.op == fopen);
            if (reads)
                read = true;
            if (writes || in.op == ret || in.op == halt || static_cast<int>(in.op) >= opcode_count)
                continue;
            if (in.op == jmp || in.op == jmp_false)
                pending.push_back(static_cast<std::size_t>(in.a));
            if (in.op != jmp)
                pending.push_back(at + 1);
        }
        if (read)
            found.push_back(slot);
    }
    return found;
}

TEST(SlotsReadBeforeWritten, NeverFewerThanASearchPerSlotFindsOnRandomCode) {
    std::mt19937 random(8);
    const Opcode ops[] = {load,     store, arrget,    fread,     newarr, arrset,
                          push_int, jmp,   jmp_false, jmp_false, ret};
    int exact = 0;
    for (int round = 0; round < 3000; ++round) {
        const auto slots = static_cast<std::uint32_t>(1 + random() % 6);
        const auto arity = static_cast<std::uint32_t>(random() % 3) % slots;
        const std::size_t length = 1 + random() % 24;
        std::vector<Instruction> code;
        for (std::size_t i = 0; i < length; ++i) {
            const Opcode op = ops[random() % std::size(ops)];
            const bool jumps = op == jmp || op == jmp_false;
            const auto a = static_cast<std::int64_t>(random() % (jumps ? length + 1 : slots));
            code.push_back(ins2(op, a, static_cast<std::int64_t>(random() % slots)));
        }
        code.push_back(fell_off);
        SCOPED_TRACE("round " + std::to_string(round));
        const std::vector<std::uint32_t> expected = read_first_by_search(code, slots, arity);
        const std::vector<std::uint32_t> found = slots_read_before_written(code, slots, arity);
        // Never too few; exact where no jump goes backwards past a loop's head.
        ASSERT_TRUE(std::includes(found.begin(), found.end(), expected.begin(), expected.end()));
        const bool forward_only = std::none_of(code.begin(), code.end(), [&](const Instruction& in) {
            return (in.op == jmp || in.op == jmp_false) && in.a <= &in - code.data();
        });
        if (forward_only) {
            ASSERT_EQ(found, expected);
            ++exact;
        }
        // Slots far apart, far more than the instructions: still never too few.
        constexpr std::uint32_t apart = 100003;
        for (Instruction& in : code) {
            if (in.op != jmp && in.op != jmp_false)
                in.a *= apart;
            in.b *= apart;
        }
        std::vector<std::uint32_t> spread = expected;
        for (std::uint32_t& s : spread)
            s *= apart;
        const std::vector<std::uint32_t> far = slots_read_before_written(code, slots * apart, arity * apart);
        ASSERT_TRUE(std::includes(far.begin(), far.end(), spread.begin(), spread.end()));
    }
    EXPECT_GT(exact, 500);
}

}  // namespace
}  // namespace oxel
