// The machine-code tier: loops run compiled must print, fail and name lines
// exactly as interpreted; which loops compile is pinned by the count of
// compiled loops.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "compiler/program_structure.h"
#include "in_memory_run.h"
#include "machine/jit_tier.h"
#include "machine/machine.h"

namespace oxel {
namespace {

using test::Outcome;

struct JitRun {
    Outcome outcome;
    test::JitCounts tier;
};
JitRun run_in(const Program& program, JitMode mode) {
    JitRun run;
    run.outcome = test::run_case_with_jit(program, {}, mode, &run.tier);
    return run;
}

// The same outcome in every mode; the tier's counts under eager (unused
// where the tier is not built).
[[maybe_unused]] test::JitCounts expect_same_in_every_mode(const std::string& source) {
    const Program program = compile_program(source, "t.ox");
    const JitRun off = run_in(program, JitMode::off);
    EXPECT_EQ(off.tier.compiled, 0u) << source;
    JitRun eager;
    for (JitMode mode : {JitMode::normal, JitMode::eager}) {
        const JitRun run = run_in(program, mode);
        EXPECT_EQ(run.outcome.out, off.outcome.out) << source;
        EXPECT_EQ(run.outcome.ending, off.outcome.ending) << source;
        if (mode == JitMode::eager)
            eager = run;
    }
    return eager.tier;
}

TEST(JitTier, Modes) {
    EXPECT_EQ(parse_jit_mode("off"), JitMode::off);
    EXPECT_EQ(parse_jit_mode("eager"), JitMode::eager);
    EXPECT_EQ(parse_jit_mode(std::nullopt), JitMode::normal);
    EXPECT_EQ(parse_jit_mode("Off"), JitMode::normal);
    EXPECT_EQ(parse_jit_mode(""), JitMode::normal);
}

#ifdef OXEL_JIT_AVAILABLE

// Each loop with the loops that compile under eager, and those of them
// given up: the ones that do beside near misses that must not.
TEST(JitTier, LoopsCompileOrStayInterpreted) {
    const struct {
        const char* source;
        std::size_t compiled, given_up;
    } cases[] = {
        // the benchmark's shape: mul, mod by a constant, add, the close
        {"s0\ni0\nlo1000\n    (t. i * i)\n    (t. t % 7)\n    (s. s + t)\n    (i. i + 1)\necho s\n", 1, 0},
        // an echo leaves every pass: given up after enough of them, not before
        {"s0\ni0\nlo200\n    (s. s + i)\n    echo s\n    (i. i + 1)\n", 1, 1},
        {"s0\ni0\nlo20\n    (s. s + i)\n    echo s\n    (i. i + 1)\n", 1, 0},
        // while-conditions end the loop from its start
        {"i0\nlo9 w i < 5\n    (i. i + 1)\necho i\n", 1, 0},
        {"i0\nj3\nlo90 w i != j\n    (i. i + 1)\n    if i == 2\n        (j. 7)\necho i\n", 1, 0},
        // both shapes of the close: with and without the step before it
        {"s0\nlo50\n    (s. s + 3)\necho s\n", 1, 0},
        {"s0\nlo50\n    (s. 3 - s)\n    (t. s)\necho s\necho t\n", 1, 0},
        // nested loops and branches; the inner loop compiles first
        {"s1\nlo100\n    (t. s % 5)\n    if t < 3\n        (s. s + 3)\n    (s. s * 2)\n    lo3\n        (s. s - "
         "1)\necho s\n",
         2, 0},
        // every comparison, slot against constant, slot and constant against
        // slot; the last one jumps to the close inside the step's run
        {"a0\nb0\nc5\nlo40\n    (a. a + 1)\n    if a == 7\n        (b. b + 1)\n    if a != c\n        (b. b + "
         "2)\n    if a < c\n        (b. b + 3)\n    if a <= 9\n        (b. b * 2)\n    if 20 > a\n        (b. "
         "b - 5)\n    if c >= a\n        (b. b + 7)\necho b\n",
         1, 0},
        // wrapping: multiply and add past the largest integer
        {"x3\n(y. 9223372036854775807)\nlo100\n    (x. x * 3)\n    (y. y + x)\necho x\necho y\n", 1, 0},
        // division and remainder: negative operands, divisors in variables
        // and constants (a multiply for d >= 2)
        {"(x. -17)\nd3\ns0\nlo15\n    (q. x / d)\n    (m. x % d)\n    (n. x % -4)\n    (r. 100 % x)\n    (u. "
         "x / 5)\n    (v. x % 6)\n    (s. s + q)\n    (s. s + m)\n    (s. s + n)\n    (s. s + r)\n    (s. s + "
         "u)\n    (s. s + v)\n    (x. x + 1)\necho s\n",
         1, 0},
        // a divisor that becomes 0: the interpreter reports it, same line
        {"d5\nx0\nlo10\n    (d. d - 1)\n    (x. 100 / d)\necho x\n", 1, 0},
        {"d5\nx0\nlo10\n    (d. d - 1)\n    (x. 100 % d)\necho x\n", 1, 0},
        {"d3.0\nlo10\n    (d. d - 1.0)\n    (q. 1.0 / d)\n    echo q\n", 1, 0},
        // the smallest integer by -1
        {"(x. -9223372036854775808)\nd3\nlo4\n    (d. d - 2)\n    (y. x % d)\n    (z. x / d)\n    (w. x / "
         "-1)\necho y\necho z\necho w\n",
         1, 0},
        // kinds that change under the compiled code: a Float, a String;
        // the loop is entered again only while they are those it was made for
        {"x0\nh2.5\nlo100\n    (x. x + 1)\n    if x == 50\n        (x. h)\necho x\n", 1, 0},
        {"x0\nlo100\n    (x. x + 1)\n    if x == 50\n        (x. 2.5)\necho x\n", 1, 0},
        {"x0\ns\"ab\"\nlo10\n    (x. x + 1)\n    if x == 5\n        (x. s)\necho x\n", 1, 0},
        {"x0\ns\"7\"\nlo10\n    (y. s)\n    (x. x + 1)\necho x\necho y\n", 1, 0},
        {"x0\nh0.5\nlo300\n    (x. x + 1)\n    if x > 10\n        (x. h)\necho x\n", 1, 1},
        {"x0\nh0.5\nlo40\n    (x. x + 1)\n    if x > 10\n        (x. h)\necho x\n", 1, 0},
        // floats: constants on either side, Ints taken as Floats, square roots
        {"s0.0\nx0.5\nlo1000\n    (y. 1.0 - x)\n    (y. y * y)\n    (z. 2 + y)\n    (r. sqrt. z)\n    (q. 1.0 / "
         "r)\n    (u. x / 3)\n    (q. q - u)\n    (s. s + q)\n    (x. x + 0.000001)\necho s\n",
         1, 0},
        {"x4.0\nlo10\n    (x. x - 1.0)\n    (r. sqrt. x)\n    echo r\n", 1, 0},
        // float comparisons, a NaN among them (infinity less infinity)
        {"b1.0\nlo400\n    (b. b * 10.0)\n(n. b - b)\nc0\ni0\nlo30\n    if n < 1.0\n        (c. c + 1)\n    if n "
         "!= n\n        (c. c + 10)\n    if i >= 2.5\n        (c. c + 100)\n    if 0.5 <= i\n        (c. c * "
         "2)\n    (i. i + 1)\necho c\necho n\n",
         2, 0},
        // float comparisons that meet equality, both orders
        {"x0.0\nc0\nlo10\n    if x < 2.0\n        (c. c + 1)\n    if x <= 2.0\n        (c. c + 10)\n    if x > "
         "2.0\n        (c. c + 100)\n    if 2.0 >= x\n        (c. c + 1000)\n    if x == 2.0\n        (c. c + "
         "10000)\n    (x. x + 0.5)\necho c\n",
         1, 0},
        // bits: shift counts taken by their low six bits, negative ones too
        {"h2166136261\nc0\nx0\nlo200\n    (a. bit shl h, 5)\n    (b. bit shr h, c)\n    (t. a XOR b)\n    (h. h "
         "XOR t)\n    (h. h AND 4294967295)\n    (n. bit not h)\n    (x. x OR n)\n    (c. c + 7)\n    (d. c - "
         "90)\n    (e. bit shl x, d)\n    (x. x XOR e)\necho h\necho x\n",
         1, 0},
        // arrays and strings: in range, then an index one past the end fails
        {"a(50)\nk0\nlo50\n    set a, k, k\n    (k. k + 1)\nt0\nk0\nlo50\n    (v. get a, k)\n    (w. get a, 7)\n "
         "   (t. t + v)\n    (t. t + w)\n    set a, 3, t\n    (k. k + 1)\necho t\n",
         2, 0},
        {"a(5)\nk0\nlo10\n    set a, k, 1\n    (k. k + 1)\necho k\n", 1, 0},
        {"a(5)\nk0\nlo10\n    (v. get a, k)\n    (k. k + 1)\necho k\n", 1, 0},
        {"s\"hello\"\nn0\nk0\nlo9\n    (l. len s)\n    (c. char s, k)\n    (n. n + c)\n    (n. n + l)\n    (k. k + "
         "1)\necho n\n",
         1, 0},
        // strings moved between slots stay Strings
        {"s\"ab\"\nt\"cd\"\nlo11\n    (u. s)\n    (s. t)\n    (t. u)\necho s\necho t\n", 1, 0},
        // an if on a slot's value
        {"x0\nc0\nlo11\n    if x\n        (c. c + 1)\n    (x. 1 - x)\necho c\n", 1, 0},
        // more Ints and Floats than registers: the rest stay in the frame
        {"a1\nb2\nc3\nd4\ne5\nf6\ng7\nh8\nj9\nk10\nm11\nn12\nlo30\n    (a. a + b)\n    (b. b + c)\n    (c. c + "
         "d)\n    (d. d + e)\n    (e. e + f)\n    (f. f + g)\n    (g. g + h)\n    (h. h + j)\n    (j. j + k)\n    "
         "(k. k + m)\n    (m. m + n)\n    (n. n + a)\necho a\necho n\n",
         1, 0},
    };
    for (const auto& c : cases) {
        try {
            const test::JitCounts tier = expect_same_in_every_mode(c.source);
            EXPECT_EQ(tier.compiled, c.compiled) << c.source;
            EXPECT_EQ(tier.given_up, c.given_up) << c.source;
        } catch (const Failure& f) {
            ADD_FAILURE() << "does not compile: " << f.message << "\n" << c.source;
        }
    }
}

// Calls in a loop whose callee runs to its return without leaving are
// compiled into the loop; the others make the loop leave at the call, and a
// loop that leaves on every pass is given up.
TEST(JitTier, CallsCompileIntoTheLoop) {
    const struct {
        const char* source;
        std::size_t compiled, given_up;
    } cases[] = {
        // one, two and three arguments, constants among them, a call
        // statement, a callee that calls another, a branch in the callee
        {"oxelfn add3.a, b, c\n    (r. a + b)\n    (r. r + c)\n    rtn r\noxelfn twice.a\n    (r. add3 a, a, "
         "0)\n    rtn r\noxelfn pick.a, b\n    if a > b\n        rtn a\n    rtn b\noxelfn none.a\n    (a. a + "
         "1)\ns0\ni0\nlo300\n    (s. add3 s, i, 1)\n    (s. s % 1000003)\n    (t. twice i)\n    (u. pick s, t)\n "
         "   (s. s + u)\n    none(s)\n    (i. i + 1)\necho s\n",
         1, 0},
        // Floats in and out, and a String passed through
        {"oxelfn half.x\n    (y. x / 2.0)\n    rtn y\noxelfn same.s\n    rtn s\nf1.0\nw\"ab\"\nv\"\"\nlo300\n    "
         "(f. half f)\n    (f. f + 1.0)\n    (v. same w)\necho f\necho v\n",
         1, 0},
        // a callee that may fail (a divisor in a slot, an index) or that
        // calls itself is not compiled into the loop: the loop leaves there
        {"oxelfn div.a, b\n    (r. a / b)\n    rtn r\ns0\nlo300\n    (s. div 100, 7)\necho s\n", 1, 1},
        {"oxelfn div.a, b\n    (r. a / b)\n    rtn r\ns0\nd3\nlo30\n    (d. d - 1)\n    (s. div 100, d)\necho "
         "s\n",
         1, 0},
        {"oxelfn down.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (m. down m)\n    rtn m\ns0\nlo300\n    "
         "(s. down 3)\necho s\n",
         1, 1},
        // a result of another kind than its slot's leaves at the call
        {"oxelfn f.a\n    rtn 2.5\ns0\nlo30\n    (s. s + 1)\n    if s == 20\n        (s. f s)\necho s\n", 1, 0},
    };
    for (const auto& c : cases) {
        const test::JitCounts tier = expect_same_in_every_mode(c.source);
        EXPECT_EQ(tier.compiled, c.compiled) << c.source;
        EXPECT_EQ(tier.given_up, c.given_up) << c.source;
    }
}

// Compiled calls take frames as the interpreter's would: near the limit
// the loop, compiled in a shallower frame, runs interpreted, and the call
// that overflows fails as there.
TEST(JitTier, CompiledCallsKeepTheFrameLimit) {
    for (int depth : {55, 59, 60, 61, 62}) {
        const std::string source = "oxelfn inc.a\n    (r. a + 1)\n    rtn r\noxelfn two.a\n    (r. inc a)\n    rtn "
                                   "r\noxelfn deep.n\n    if n > 0\n        (m. n - 1)\n        (m. deep m)\n        "
                                   "rtn m\n    s0\n    i0\n    lo2000\n        if i > 3\n            (s. two s)\n        "
                                   "(i. i + 1)\n    rtn s\n(x. deep 1)\necho x\n(x. deep " +
                                   std::to_string(depth) + ")\necho x\n";
        const test::JitCounts tier = expect_same_in_every_mode(source);
        EXPECT_EQ(tier.compiled, 1u) << source;
    }
}

// A run with a memory limit pays for its code from it: code that does not
// fit is not made, and the program runs the same interpreted.
TEST(JitTier, CodeTakenFromTheRunsMemory) {
    const Program program = compile_program("s0\nlo100\n    (s. s + 1)\n", "t.ox");
    for (auto [bytes, compiled] : {std::pair<std::size_t, std::size_t>{1000, 0}, {std::size_t{1} << 20, 1}}) {
        Machine machine(program, true, RunLimits{0, bytes});
        machine.set_jit_mode(JitMode::eager);
        machine.run();
        EXPECT_EQ(machine.jit().compiled_loops(), compiled) << bytes;
    }
}

// Code is packed: eight small loops and a function take one page, not
// nine, and each runs right after the next was added beside it.
TEST(JitTier, CodeSharesPages) {
    std::string source = "oxelfn twice.n\n    (r. n + n)\n    rtn r\ns0\n";
    for (int i = 1; i <= 8; ++i)
        source += "lo50\n    (s. s + " + std::to_string(i) + ")\n(t. twice s)\necho t\n";
    const test::JitCounts tier = expect_same_in_every_mode(source);
    EXPECT_EQ(tier.compiled, 8u);
    EXPECT_EQ(tier.functions, 1u);
    EXPECT_EQ(tier.code_bytes, 4096u);
}

// Functions that run to their return without leaving, their calls of
// themselves included, are compiled whole at a call; one whose kinds or
// frames do not suit it runs interpreted, and fails as it would there.
TEST(JitTier, FunctionsCompileWhole) {
    const char* const fib =
        "oxelfn fib.n\n    if n < 2\n        rtn n\n    (a. n - 1)\n    (a. fib a)\n    (b. n - 2)\n    (b. fib "
        "b)\n    (r. a + b)\n    rtn r\n";
    const struct {
        std::string source;
        std::size_t functions;
    } cases[] = {
        {std::string(fib) + "(r. fib 20)\necho r\n(r. fib 2.5)\necho r\n", 1},
        // Floats in and out; a call with other kinds runs interpreted
        {"oxelfn half.x, k\n    if k < 1\n        rtn x\n    (j. k - 1)\n    (y. x / 2.0)\n    (y. half y, j)\n "
         "   rtn y\n(r. half 100.0, 5)\necho r\n(r. half 7, 2)\necho r\n",
         1},
        // too deep for the machine's frames: the call that overflows fails
        // as interpreted, at its line
        {"oxelfn down.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (m. down m)\n    (m. m + 1)\n    rtn "
         "m\n(r. down 50)\necho r\n(r. down 70)\necho r\n",
         1},
        // near misses: a division that may fail, a loop back to the start,
        // a String argument, an echo
        {"oxelfn q.a, b\n    (r. a / b)\n    rtn r\n(r. q 7, 2)\necho r\n(r. q 7, 0)\necho r\n", 0},
        {"oxelfn f.n\n    lo3\n        (n. n + 1)\n    rtn n\n(r. f 1)\necho r\n", 0},
        {"oxelfn g.s\n    rtn 1\n(r. g \"x\")\necho r\n", 0},
        {"oxelfn h.n\n    echo n\n    rtn n\n(r. h 4)\necho r\n", 0},
    };
    for (const auto& c : cases) {
        const test::JitCounts tier = expect_same_in_every_mode(c.source);
        EXPECT_EQ(tier.functions, c.functions) << c.source;
    }
}

// Each benchmark's hot loops (and hot functions) run as machine code in the
// default mode, and stay there: the loops compiled and given up, the
// functions compiled.
TEST(JitTier, BenchmarkLoopsCompile) {
    const struct {
        const char* name;
        std::size_t compiled, given_up, functions;
    } workloads[] = {
        {"int_loop", 1, 0, 0}, {"bits", 1, 0, 0},  {"float_math", 1, 0, 0}, {"float_sqrt", 1, 0, 0},
        {"grid", 4, 0, 0},     {"matrix", 4, 0, 0}, {"sieve", 2, 0, 0},     {"strings", 2, 1, 0},
        {"calls", 1, 0, 1},    {"calls2", 1, 0, 1}, {"fib", 0, 0, 1},
    };
    for (const auto& w : workloads) {
        std::ifstream file(std::string(OXEL_SOURCE_ROOT) + "/bench/workloads/" + w.name + ".ox", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        const Program program = compile_program(text.str(), std::string(w.name) + ".ox");
        const JitRun off = run_in(program, JitMode::off);
        const JitRun run = run_in(program, JitMode::normal);
        EXPECT_EQ(run.outcome.ending, "end") << w.name;
        EXPECT_EQ(run.outcome.out, off.outcome.out) << w.name;
        EXPECT_EQ(run.tier.compiled, w.compiled) << w.name;
        EXPECT_EQ(run.tier.given_up, w.given_up) << w.name;
        EXPECT_EQ(run.tier.functions, w.functions) << w.name;
    }
}

// Random loops over arithmetic, bits, square roots and comparisons, ended
// by their count or a while-condition, with operands that are sometimes of
// other kinds or divisors that fail: the same with and without the tier.
std::string random_loop_program(std::mt19937_64& random) {
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const char* const names[] = {"x", "y", "z", "w"};
    const char* const values[] = {
        "0", "1", "-1", "3", "-7", "12", "9223372036854775807", "-9223372036854775808", "2.5", "\"4\""};
    const char* const arithmetic[] = {"+", "-", "*", "/", "%", "AND", "OR", "XOR"};
    const char* const comparisons[] = {"==", "!=", "<", "<=", ">", ">="};
    auto variable = [&] { return std::string(names[pick(4)]); };
    auto operand = [&] {
        if (pick(3))
            return variable();
        return pick(5) ? std::to_string(static_cast<int>(pick(11)) - 5) : std::string("1.5");
    };
    std::string text;
    for (const char* name : names) {
        // Mostly integers, so that most loops compile.
        const std::string value = pick(6) ? values[pick(8)] : values[8 + pick(2)];
        text += value[0] == '"' ? std::string(name) + value + "\n"
                                : "(" + std::string(name) + ". " + value + ")\n";
    }
    auto statement = [&](const std::string& indent) {
        const std::string target = variable();
        switch (pick(7)) {
            case 2:
                return indent + "(" + target + ". bit " + (pick(2) ? "shl " : "shr ") + operand() + ", " +
                       operand() + ")\n";
            case 3:
                return indent + "if " + variable() + "\n" + indent + "    (" + target + ". sqrt. " + operand() +
                       ")\n";
            case 0:
                return indent + "if " + operand() + " " + comparisons[pick(6)] + " " + operand() + "\n" +
                       indent + "    (" + target + ". " + operand() + " " + arithmetic[pick(8)] + " " +
                       operand() + ")\n";
            case 1:
                return indent + "(" + target + ". " + operand() + ")\n";
            default:
                return indent + "(" + target + ". " + operand() + " " + arithmetic[pick(8)] + " " +
                       operand() + ")\n";
        }
    };
    // Some loops end on a while-condition too.
    text += "lo" + std::to_string(1 + pick(30));
    if (pick(3) == 0)
        text += " w " + variable() + " " + comparisons[pick(6)] + " " + operand();
    text += "\n";
    for (std::size_t i = 0, n = 1 + pick(6); i < n; ++i)
        text += statement("    ");
    if (pick(3) == 0) {
        text += "    lo" + std::to_string(1 + pick(5)) + "\n";
        for (std::size_t i = 0, n = 1 + pick(3); i < n; ++i)
            text += statement("        ");
    }
    return text + "echo x\necho y\necho z\necho w\n";
}

TEST(JitTier, RandomLoopsSameAsInterpreted) {
    std::mt19937_64 random(20261209);
    std::size_t compiled = 0;
    int programs = 0;
    for (int n = 0; n < 2000 && !HasFailure(); ++n) {
        const std::string source = random_loop_program(random);
        try {
            compiled += expect_same_in_every_mode(source).compiled;
            ++programs;
        } catch (const Failure&) {
            // refused by the compiler: not a machine question
        }
    }
    EXPECT_GT(programs, 1500);
    EXPECT_GT(compiled, 500u);  // the tier is really exercised
}

#endif

}  // namespace
}  // namespace oxel
