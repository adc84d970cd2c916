// How many instructions the loop dispatches per pass of each benchmark's hot
// loop. A change that silently stops fusing a shape, or adds a dispatch to
// a hot path, changes one of these numbers; timings stay out of tests.
#include <gtest/gtest.h>

#include <string>

#include "compiler/program_structure.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

// Dispatches of `source` with its loop count @ set to n, with the files
// of `with`.
std::uint64_t dispatches(std::string source, std::uint64_t n, const test::Case& with = {}) {
    source.replace(source.find('@'), 1, std::to_string(n));
    Machine machine(compile_program(source, "t.ox"));
    std::uint64_t count = 0;
    const test::Outcome o = test::in_memory(with, [&] { count = machine.run_counting_dispatches(); });
    EXPECT_EQ(o.ending, "end");
    return count;
}

// The cost of one more pass: the difference between 2n and n passes, over n.
double per_pass(const std::string& source, const test::Case& with = {}) {
    const std::uint64_t n = 1000;
    return static_cast<double>(dispatches(source, 2 * n, with) - dispatches(source, n, with)) / n;
}

// A function is made runnable on its first call, which costs the program no
// dispatch of its own: every call costs the same. Only the functions called
// are ever made runnable.
TEST(DispatchCount, FirstCallsCostNothingExtra) {
    auto program = [](int calls) {
        std::string source = "oxelfn f.n\n    rtn n\noxelfn g.n\n    rtn n\nb0\n";
        for (int i = 0; i < calls; ++i)
            source += "(b. f b)\n";
        return source + "echo b\n";
    };
    auto count = [](const std::string& source) {
        Machine machine(compile_program(source, "t.ox"));
        std::uint64_t n = 0;
        EXPECT_EQ(test::in_memory({}, [&] { n = machine.run_counting_dispatches(); }).ending, "end");
        EXPECT_EQ(machine.prepared(0), source.find("(b. f b)") != std::string::npos);
        EXPECT_FALSE(machine.prepared(1));
        return n;
    };
    const std::uint64_t none = count(program(0)), one = count(program(1)), two = count(program(2));
    EXPECT_EQ(one - none, two - one);
}

TEST(DispatchCount, PerPassOfEachBenchmarkLoop) {
    struct Case {
        const char* name;
        const char* source;  // @ is the loop count
        double per_pass;
    };
    const Case cases[] = {
        {"integer loop",
         "s0\ni0\nlo@\n    (t. i * i)\n    (t. t % 7)\n    (s. s + t)\n    (i. i + 1)\necho s\n", 4},
        {"float square roots",
         "s0.0\nx1.0\nlo@\n    (r. sqrt. x)\n    (s. s + r)\n    (x. x + 1.0)\necho s\n", 4},
        {"float math, constant on the left",
         "s0.0\nx1.0\nlo@\n    (r. sqrt. x)\n    (q. 1.0 - r)\n    (q. q / x)\n    (s. s + q)\n    (x. x + "
         "1.0)\n"
         "echo s\n",
         6},
        {"bit hashing",
         "h12345\ni0\nlo@\n    (a. bit shl h, 5)\n    (b. bit shr h, 3)\n    (h. a XOR b)\n    (h. h XOR i)\n"
         "    (c. h AND 65535)\n    (d. bit not c)\n    (h. h OR d)\n    (h. h AND 1048575)\n    (i. i + "
         "1)\necho h\n",
         9},
        {"calls with three arguments",
         "oxelfn add3.a, b, c\n    (r. a + b)\n    (r. r + c)\n    rtn r\ns0\ni0\nlo@\n    (s. add3 s, i, "
         "1)\n"
         "    (s. s % 1000003)\n    (i. i + 1)\necho s\n",
         6},
        {"calls with constant arguments",
         "oxelfn pick.a, b, c, d\n    if a > b\n        rtn c\n    rtn d\ns0\nk0\nlo@\n"
         "    (k. pick s, 500000, 3, 5)\n    (s. s + k)\necho s\n",
         5},
        {"a while loop", "i0\nlo@ w i >= 0\n    (i. i + 1)\necho i\n", 2},
        {"a while loop on floats", "x0.5\nlo@ w x < 2.5\n    (x. x + 0.0)\necho x\n", 3},
        {"recursive calls",
         "oxelfn f.n\n    if n < 1\n        rtn n\n    (a. n - 1)\n    (a. f a)\n    rtn a\ni0\nlo@\n"
         "    (i. f 1)\necho i\n",
         9},
        {"array get and set",
         "n100\na(100)\nk0\nlo@\n    (v. k % 7)\n    set a, v, k\n    (x. get a, v)\n    set a, v, 1\n    "
         "(k. k + 1)\n"
         "echo k\n",
         5},
        {"a loop whose body ends in an if",
         "i0\nx0\nlo@\n    (i. i + 1)\n    if i < 0\n        (x. x + 1)\necho i\n", 3},
        {"strings",
         "s\"\"\ni0\nlo@\n    (d. i % 10)\n    (s. cat s, d)\n    (c. char s, i)\n    (l. len s)\n"
         "    (i. i + 1)\necho l\n",
         5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(per_pass(c.source), c.per_pass) << c.name;
}

// A file read a byte at a time, each byte compared with string constants:
// the read and both comparisons take one dispatch each, the count and the
// loop's close one together, and no byte read takes an object of the heap.
TEST(DispatchCount, ReadingAFileAByteAtATime) {
    test::Case with;
    with.files["bytes.txt"] = std::string(5000, '7');
    const std::string source =
        "fopen g, \"bytes.txt\", \"r\"\nn0\nc\"x\"\nlo@ w c != \"\"\n    (c. fread g, 1)\n"
        "    if c == \"7\"\n        (n. n + 1)\necho n\n";
    EXPECT_EQ(per_pass(source, with), 4);

    std::string counted = source;
    counted.replace(counted.find('@'), 1, "4000");
    Machine machine(compile_program(counted, "t.ox"));
    EXPECT_EQ(test::in_memory(with, [&] { machine.run(); }).out, "4000\n");
    EXPECT_EQ(machine.heap.count_objects(), 0u);
}

}  // namespace
}  // namespace oxel
