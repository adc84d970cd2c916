// The machine's heap roots. Each run collects at every allocation, and the
// heap overwrites what it releases, so a value the roots miss prints as
// garbage (and is freed memory under AddressSanitizer): the output must be
// that of a run that never collects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "image/program.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

std::string run_collecting(const Program& program, bool always) {
    const test::Outcome o = test::in_memory({}, [&] {
        Machine machine(program);
        machine.heap.set_collect_always(always);
        machine.run();
    });
    return o.ending == "end" ? o.out : o.out + "\n" + o.ending;
}

void expect_same_collecting(const Program& program, const std::string& expected) {
    EXPECT_EQ(run_collecting(program, false), expected);
    EXPECT_EQ(run_collecting(program, true), expected);
}

struct Ins {
    Opcode op;
    std::int64_t a = 0;
};

Chunk chunk(std::string_view name, std::vector<Ins> code, std::uint32_t slots = 0, std::uint8_t arity = 0) {
    Chunk c;
    c.name = name;
    c.slots = slots;
    c.arity = arity;
    for (const Ins& i : code)
        emit(c, i.op, i.a, 0, 1);
    return c;
}

using enum Opcode;

// Strings that only the operand stack holds while a cat allocates: "12" sits
// below the next two cats, and the results of those are a call's arguments,
// which then live only in the callee's slots while it allocates again.
TEST(Collection, OperandStackAndCallArgumentsAreRoots) {
    Program p;
    add_chunk(p, chunk("join",
                       {{push_int, 7},
                        {push_int, 8},
                        {cat},
                        {pop},  // allocates; a, b only in slots
                        {load, 0},
                        {load, 1},
                        {cat},
                        {ret}},
                       2, 2));
    add_chunk(p, chunk("__top", {{push_int, 1},
                                 {push_int, 2},
                                 {cat},  // "12", on the stack only
                                 {push_int, 3},
                                 {push_int, 4},
                                 {cat},  // "34", allocated above it
                                 {push_int, 5},
                                 {push_int, 6},
                                 {cat},      // "56"
                                 {call, 0},  // join("34", "56")
                                 {cat},      // "12" + "3456"
                                 {echo},
                                 {halt}}));
    expect_same_collecting(p, "123456\n");
}

// A string built in the deepest of twenty frames and returned through all of
// them, each caller appending to it at once; arrays and strings that only a
// caller's slots hold while its callees allocate.
TEST(Collection, ReturnedValuesAndCallerSlotsAreRoots) {
    const Program p = compile_program(R"(oxelfn build.n
    if n == 0
        (s. cat "x", n)
        rtn s
    (m. n - 1)
    (s. build m)
    (s. cat s, n)
    rtn s
oxelfn churn.n
    i0
    lo200
        (t. cat "garbage", i)
        b(50)
        (i. i + 1)
    rtn n
a(100)
set a, 99, 42
(k. cat "kept", 7)
(r. build 20)
(r. churn 3)
(v. get a, 99)
echo v
echo k
(s. build 20)
echo s
)",
                                      "main.ox");
    expect_same_collecting(p, "42\nkept7\nx01234567891011121314151617181920\n");
}

}  // namespace
}  // namespace oxel
