// The interpreter loop on program images built by hand: calls and returns,
// the frame and stack limits, and the line and file each loop error names.
#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>

#include "base/error_report.h"
#include "image/program.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

struct Ins {
    Opcode op;
    std::int64_t a = 0;
    std::uint32_t line = 1;
    std::int64_t b = 0;
};

Chunk chunk(std::string_view name, std::vector<Ins> code, std::uint32_t slots = 0, std::uint8_t arity = 0,
            std::string_view file = {}) {
    Chunk c;
    c.name = name;
    c.file = file;
    c.slots = slots;
    c.arity = arity;
    for (const Ins& i : code)
        emit(c, i.op, i.a, i.b, i.line);
    return c;
}

using test::Outcome;

Outcome run_image(const Program& program) {
    return test::in_memory({}, [&] { run(program); });
}

void expect_failure(const Outcome& o, std::string_view message, std::uint32_t line,
                    std::string_view file = {}) {
    ASSERT_TRUE(o.failure) << "expected " << message << ", got " << o.ending;
    EXPECT_EQ(o.failure->message, message);
    EXPECT_EQ(o.failure->where.line, line);
    EXPECT_EQ(o.failure->report_file, file);
}

using enum Opcode;

// add(a, b) as chunk 0, called from __top with 10 and 20.
TEST(Machine, CallPassesArgumentsInOrderAndReturnsToTheCaller) {
    Program p;
    add_chunk(p, chunk("add", {{load, 0}, {load, 1}, {sub}, {ret}, {push_int, 0}, {ret}}, 2, 2));
    add_chunk(p, chunk("__top", {{push_int, 10}, {push_int, 20}, {call, 0}, {echo}, {halt}}));
    Outcome o = run_image(p);
    EXPECT_EQ(o.ending, "end");
    EXPECT_EQ(o.out, "-10\n");  // slot 0 holds 10, slot 1 holds 20
}

// f(n): if n == 0 return 0 else return f(n - 1); the call sits on line 7.
Program countdown(std::int64_t depth) {
    Program p;
    add_chunk(p, chunk("f",
                       {{load, 0},
                        {jmp_false, 7},
                        {load, 0},
                        {push_int, 1},
                        {sub},
                        {call, 0, 7},
                        {ret},
                        {push_int, 0},
                        {ret}},
                       1, 1, "lib/f.oxh"));
    add_chunk(p, chunk("__top", {{push_int, depth}, {call, 0, 3}, {echo}, {halt}}));
    return p;
}

TEST(Machine, SixtyFourFramesAtMost) {
    Outcome deepest = run_image(countdown(62));  // frame 0 plus 63 nested calls
    EXPECT_EQ(deepest.ending, "end");
    EXPECT_EQ(deepest.out, "0\n");
    expect_failure(run_image(countdown(63)), "Call stack overflow", 7, "lib/f.oxh");
}

TEST(Machine, FiveHundredTwelveValuesOnAStack) {
    auto pushes = [](int count) {
        std::vector<Ins> code;
        for (int i = 0; i < count; ++i)
            code.push_back({push_int, i, static_cast<std::uint32_t>(i + 1)});
        code.push_back({halt});
        Program p;
        add_chunk(p, chunk("__top", code));
        return p;
    };
    EXPECT_EQ(run_image(pushes(512)).ending, "end");
    expect_failure(run_image(pushes(513)), "Stack overflow", 513);
}

TEST(Machine, LoopErrorsNameTheExecutingLine) {
    struct Case {
        std::vector<Ins> code;
        std::uint32_t slots;
        const char* message;
        std::uint32_t line;
    };
    const Case cases[] = {
        {{{push_int, 1, 1}, {store, 3, 2}, {halt}}, 3, "Bad slot 3", 2},
        {{{load, 1, 4}, {halt}}, 0, "Bad slot 1", 4},  // no slots still means one
        {{{pop, 0, 5}, {halt}}, 0, "Stack underflow", 5},
        {{{push_int, 1, 2}, {add, 0, 6}, {halt}}, 0, "Stack underflow", 6},
        {{{push_int, 1, 2}, {jmp, 3, 8}}, 0, "Fell off chunk '__top'", 1},
        {{{push_int, 1, 2}, {jmp, -4, 8}}, 0, "Fell off chunk '__top'", 1},
        {{{push_int, 1, 2}}, 0, "Fell off chunk '__top'", 1},
        {{{push_str, 2, 9}, {halt}}, 0, "Bad slot 2", 9},
        {{{call, 5, 3}, {halt}}, 0, "Bad slot 5", 3},
    };
    for (const Case& c : cases) {
        Program p;
        add_chunk(p, chunk("__top", c.code, c.slots));
        SCOPED_TRACE(c.message);
        expect_failure(run_image(p), c.message, c.line);
    }
}

TEST(Machine, AnOpcodeOutsideTheSetFailsInsteadOfJumpingAnywhere) {
    Program p;
    Chunk c = chunk("__top", {{halt}});
    c.code[0].op = static_cast<Opcode>(200);
    c.code[0].line = 4;
    add_chunk(p, c);
    expect_failure(run_image(p), "Bad opcode 200", 4);
}

TEST(Machine, ReturnIntoAFullCallerStackNamesTheCall) {
    std::vector<Ins> top;
    for (int i = 0; i < 512; ++i)
        top.push_back({push_int, i, 2});
    top.push_back({call, 0, 9});
    top.push_back({halt});
    Program p;
    add_chunk(p, chunk("f", {{push_int, 1, 4}, {ret, 0, 5}}, 0, 0, "m.ox"));
    add_chunk(p, chunk("__top", top));
    expect_failure(run_image(p), "Stack overflow", 9);  // the caller's file: top level has none
}

TEST(Machine, RunEndsAtTopLevelReturnOrHaltAnywhere) {
    Program returns;
    add_chunk(returns, chunk("__top", {{push_int, 1}, {ret}, {push_int, 2}, {echo}, {halt}}));
    Outcome o = run_image(returns);
    EXPECT_EQ(o.ending, "end");
    EXPECT_EQ(o.out, "");

    Program halts;
    add_chunk(halts, chunk("stop", {{push_int, 5}, {echo}, {halt}, {push_int, 0}, {ret}}));
    add_chunk(halts, chunk("__top", {{call, 0}, {push_int, 6}, {echo}, {halt}}));
    o = run_image(halts);
    EXPECT_EQ(o.ending, "end");
    EXPECT_EQ(o.out, "5\n");
}

TEST(Machine, CalleeStartsWithFreshSlotsAndItsOwnStack) {
    // The callee returns slot 2 + 8 and then dirties slot 2: a second call
    // still sees Int 0 there. The caller's pending 7 survives both calls, and
    // the 5 the callee leaves behind goes with its frame.
    Program p;
    add_chunk(
        p,
        chunk("f", {{push_int, 5}, {load, 2}, {push_int, 8}, {add}, {push_int, 3}, {store, 2}, {ret}}, 3, 1));
    add_chunk(p, chunk("__top", {{push_int, 7},
                                 {push_int, 1},
                                 {call, 0},
                                 {echo},
                                 {push_int, 1},
                                 {call, 0},
                                 {echo},
                                 {echo},
                                 {halt}}));
    Outcome o = run_image(p);
    EXPECT_EQ(o.ending, "end");
    EXPECT_EQ(o.out, "8\n8\n7\n");
}

// A call zeroes only the slots some path may read before writing: after a
// call that leaves Ints, strings and arrays in every slot, each callee
// below must still read Int 0 wherever it reads before it writes, fused or
// not, and a collection must pass over what is left in the others.
TEST(Machine, SlotsReadBeforeWrittenStartAsZeroAfterAnEarlierCall) {
    std::vector<Ins> dirty;
    for (std::int64_t s = 0; s < 6; ++s)
        dirty.insert(dirty.end(), {{push_int, 77}, {store, s}});
    for (std::int64_t s = 6; s < 8; ++s)
        dirty.insert(dirty.end(), {{push_str, 0}, {push_str, 0}, {cat}, {store, s}});
    for (std::int64_t s = 8; s < 10; ++s)
        dirty.insert(dirty.end(), {{push_int, 3}, {newarr, s}});
    dirty.insert(dirty.end(), {{push_int, 0}, {ret}});
    struct Case {
        const char* what;
        std::vector<Ins> callee;  // slot 0 is its parameter, 0
        std::string out;
    } const cases[] = {
        {"written only on the branch not taken",
         {{load, 0}, {jmp_false, 4}, {push_int, 5}, {store, 1}, {load, 1}, {ret}},
         "0\n"},
        {"a loop reads what its body writes later",
         {{push_int, 2},
          {store, 2},
          {load, 1},
          {echo},
          {push_int, 9},
          {store, 1},
          {load, 2},
          {push_int, 1},
          {sub},
          {store, 2},
          {load, 2},
          {jmp_false, 13},
          {jmp, 2},
          {load, 1},
          {ret}},
         "0\n9\n9\n"},
        {"arithmetic on slots never written",
         {{load, 1}, {load, 2}, {add}, {store, 3}, {load, 3}, {ret}},
         "0\n"},
        {"a loop counter never set",
         {{load, 4},
          {push_int, 1},
          {add},
          {store, 4},
          {load, 4},
          {push_int, 3},
          {ge},
          {jmp_false, 0},
          {load, 4},
          {ret}},
         "3\n"},
        {"allocations with strings and arrays left in the slots",
         {{push_int, 4}, {newarr, 6}, {push_str, 0}, {push_str, 0}, {cat}, {store, 7}, {load, 7}, {ret}},
         "abab\n"},
    };
    for (const Case& c : cases) {
        Program p;
        p.strings = {"ab"};
        add_chunk(p, chunk("dirty", dirty, 10));
        add_chunk(p, chunk("f", c.callee, 10, 1));
        add_chunk(p, chunk("__top", {{call, 0}, {pop}, {push_int, 0}, {call, 1}, {echo}, {halt}}));
        for (bool fuse : {true, false}) {
            const Outcome o = test::in_memory({}, [&] {
                Machine machine(p, fuse);
                machine.heap.set_collect_always(true);  // the strings and arrays left behind are garbage
                machine.run();
            });
            EXPECT_EQ(o.out, c.out) << c.what << (fuse ? ", fused" : "");
            EXPECT_EQ(o.ending, "end") << c.what << (fuse ? ", fused" : "");
        }
    }
}

TEST(Machine, JumpIfFalseFollowsTruth) {
    auto outcome = [](Ins pushed) {
        Program p;
        p.strings = {"0", ""};
        add_chunk(p, chunk("__top", {pushed, {jmp_false, 4}, {push_int, 1}, {echo}, {halt}}));
        return run_image(p).out;
    };
    EXPECT_EQ(outcome({push_str, 0}), "1\n");  // the string "0" is true
    EXPECT_EQ(outcome({push_str, 1}), "");     // the empty string is false
    EXPECT_EQ(outcome({push_float, std::bit_cast<std::int64_t>(-0.0)}), "");
    EXPECT_EQ(outcome({push_float, std::bit_cast<std::int64_t>(std::numeric_limits<double>::quiet_NaN())}),
              "1\n");
    EXPECT_EQ(outcome({push_int, 0}), "");
}

TEST(Machine, NoTopLevelChunkIsNoCode) {
    Program p;
    add_chunk(p, chunk("f", {{push_int, 0}, {ret}}));
    expect_failure(run_image(p), "No code", 1);
}

TEST(Machine, ErrorsInsideAFunctionNameItsFile) {
    Program p;
    add_chunk(p, chunk("f", {{pop, 0, 12}, {ret}}, 0, 0, "lib/m.oxh"));
    add_chunk(p, chunk("__top", {{call, 0}, {halt}}));
    expect_failure(run_image(p), "Stack underflow", 12, "lib/m.oxh");
}

}  // namespace
}  // namespace oxel
