// The load-time stack check: which chunks may run fused without stack checks.
#include "machine/verify.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace oxel
