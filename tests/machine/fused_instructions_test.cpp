// Fused instruction runs must be invisible: every program prints, fails and
// names lines exactly as it does with fusing off. The programs below aim at
// each fused form's fast path and at every way out of it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

using test::Outcome;

Outcome run_with(const Program& program, bool fuse) { return test::run_case(program, {}, fuse); }

void expect_same_either_way(const Program& program, const std::string& what) {
    const Outcome plain = run_with(program, false);
    const Outcome fused = run_with(program, true);
    EXPECT_EQ(fused.out, plain.out) << what;
    EXPECT_EQ(fused.ending, plain.ending) << what;
    // Loops compiled to machine code at their first back jump change nothing either.
    const Outcome compiled = test::run_case_with_jit(program, {}, JitMode::eager);
    EXPECT_EQ(compiled.out, plain.out) << what;
    EXPECT_EQ(compiled.ending, plain.ending) << what;
}

TEST(FusedInstructions, SameOutcomeAsUnfused) {
    const std::vector<std::string> sources = {
        // arithmetic on every kind, both operand shapes
        "x2.5\ny2\n(r. x + 1)\necho r\n(r. x - y)\necho r\n(r. x * 2)\necho r\n(r. x / y)\necho r\n(r. x % "
        "2)\n"
        "echo r\n",
        "s\"42\"\n(r. s + 1)\necho r\n(t. s * s)\necho t\n(u. s % 5)\necho u\n",
        "a(2)\n(r. a + 1)\n",
        "a(2)\nx1\n(r. x - a)\n",
        "x7\ny0\n(r. x / y)\n",
        "x7\ny0\n(r. x % y)\n",
        "x7\n(r. x / 0)\n",
        "(x. -9223372036854775808)\n(y. -1)\n(q. x / y)\n(m. x % y)\necho q\necho m\n(q. x / -1)\n(m. x % "
        "-1)\n"
        "echo q\necho m\n(w. x - 1)\necho w\n(w. x * y)\necho w\n",
        "(x. -7)\n(r. x % 3)\necho r\n(r. x % -3)\necho r\n(r. x / 2)\necho r\n(y. 3)\n(r. x % y)\necho r\n",
        // float results, mixed operands, square roots, returns
        "x1.5\ny2.5\n(r. x + y)\necho r\n(r. x - 1)\necho r\n(r. x * 1.5)\necho r\n(r. x / 0.0)\n",
        "x2\n(r. x + 0.5)\necho r\n(r. x / 0.5)\necho r\n(r. x % 1.5)\necho r\n(s. -7.5)\n(r. s % 2.0)\necho "
        "r\n",
        "x2.25\n(r. sqrt. x)\necho r\n(n. -0.0)\n(r. sqrt. n)\necho r\ny10\n(r. sqrt. y)\necho r\n"
        "(m. -4.0)\n(r. sqrt. m)\n",
        "oxelfn half.v\n    (h. v / 2)\n    rtn h\n(r. half 5)\necho r\n(r. half 5.0)\necho r\nx5\nrtn "
        "x\necho 1\n",
        // comparisons and branches
        "s\"abc\"\nt\"abd\"\nif s < t\n    echo 11\nif s == t\n    echo 12\nels\n    echo 13\n",
        "x1.5\nif x < 2\n    echo 15\nif x > 1\n    echo 14\ny2\nif x >= y\n    echo 16\n",
        "s\"x\"\nif s < 2\n    echo 16\n",
        "x3\ny3\nif x == y\n    echo 12\nif x != y\n    echo 13\nif x <= 3\n    echo 18\nif x > 3\n    echo "
        "17\n",
        // loops: counts, while-conditions, nesting
        "i0\nlo5 w i < 3\n    echo i\n    (i. i + 1)\nlo0\n    echo 19\nlo2\n    lo3\n        echo 20\n",
        "n\"4\"\ni0\nlo10 w i < n\n    (i. i + 1)\n",
        // a while-condition evaluated by the loop's close
        "i0\nj5\nlo9 w i < 3\n    (i. i + 1)\n    echo i\necho j\nlo9 w i != j\n    (i. i + 1)\n    echo i\n",
        "i0\nlo9 w i < 3\n    (i. i + 0.5)\n    echo i\ns\"b\"\nt\"a\"\nlo9 w t < s\n    (t. cat t, t)\n    "
        "echo t\n"
        "lo9 w t > 2\n    echo t\n",
        "x0\ny0\nlo5\n    (y. y + 2)\n    if y > 4\n        (x. x + 1)\necho x\necho y\n",
        "x\"s\"\nlo2\n    (x. x + 1)\necho x\n",
        // arrays
        "a(3)\ni5\n(v. get a, i)\n",
        "a(3)\n(i. -1)\n(v. get a, i)\n",
        "a(3)\ni\"1\"\n(v. get a, i)\necho v\nset a, 1, 7\n(v. get a, 1)\necho v\n",
        "a(3)\nj\"2\"\nset a, j, 9\n(w. get a, 2)\necho w\nk3\nset a, k, 1\n",
        "a(3)\nv2.9\ni1\nset a, i, v\n(w. get a, 1)\necho w\nv\"x\"\nset a, i, v\n",
        "x5\ni0\nset x, i, 1\n",
        "x5\ni0\n(v. get x, i)\n",
        "a(3)\ni0\n(a. get a, i)\necho a\n",
        // copies and constants
        "x\"s\"\n(y. x)\necho y\nz5\n(y. z)\necho y\n",
        // calls
        "oxelfn fib.n\n    if n < 2\n        rtn n\n    (a. n - 1)\n    (a. fib a)\n    (b. n - 2)\n    (b. "
        "fib b)\n"
        "    (r. a + b)\n    rtn r\n(r. fib 15)\necho r\n",
    };
    for (const std::string& source : sources) {
        try {
            Program program = compile_program(source, "t.ox");
            expect_same_either_way(program, source);
        } catch (const Failure& f) {
            ADD_FAILURE() << "does not compile: " << f.message << "\n" << source;
        }
    }
}

// Numbers must come out right, not merely alike: fused and plain paths
// share no code for float results.
TEST(FusedInstructions, FloatResults) {
    const std::string source =
        "x1.5\n(r. x + 2)\necho r\n(r. 2.5 - x)\necho r\n(r. 3 * x)\necho r\n(r. x / 4)\necho r\n"
        "(r. x * 0.1)\necho r\n(r. 1 / 3.0)\necho r\n(r. sqrt. x)\necho r\n(r. x - 1.5)\necho r\n";
    const std::string expected =
        "3.5\n1\n4.5\n0.375\n0.15000000000000002\n0.3333333333333333\n"
        "1.224744871391589\n0\n";
    Program program = compile_program(source, "t.ox");
    for (bool fuse : {false, true}) {
        const Outcome outcome = run_with(program, fuse);
        EXPECT_EQ(outcome.out, expected) << (fuse ? "fused" : "plain");
        EXPECT_EQ(outcome.ending, "end");
    }
}

Instruction ins(Opcode op, std::int64_t a, std::uint32_t line, std::int64_t b = 0) {
    return {a, b, line, op};
}

// A fused run that would overflow a nearly full stack must fail as the
// original would, at the push that overflows; a jump into the middle of a
// fused run must run the original instructions from there.
TEST(FusedInstructions, StackRoomAndJumpsIntoARun) {
    using enum Opcode;
    for (int filled : {509, 510, 511}) {
        Program program;
        Chunk top;
        top.name = "__top";
        top.slots = 2;
        for (int i = 0; i < filled; ++i)
            top.code.push_back(ins(push_int, i, 1));
        for (Instruction in :
             {ins(load, 0, 2), ins(push_int, 1, 3), ins(add, 0, 4), ins(store, 1, 5), ins(push_int, 5, 6),
              ins(store, 0, 7), ins(load, 0, 8), ins(echo, 0, 8), ins(halt, 0, 9)})
            top.code.push_back(in);
        add_chunk(program, std::move(top));
        expect_same_either_way(program, "stack filled with " + std::to_string(filled));
    }

    Program program;
    Chunk top;
    top.name = "__top";
    top.slots = 2;
    // Jumps to the push_int inside "load 0; push_int 10; add; store 1" with
    // 7 already pushed, so the add sees 7 + 10.
    for (Instruction in :
         {ins(push_int, 7, 1), ins(jmp, 3, 1), ins(load, 0, 2), ins(push_int, 10, 2), ins(add, 0, 2),
          ins(store, 1, 2), ins(load, 1, 3), ins(echo, 0, 3), ins(halt, 0, 4)})
        top.code.push_back(in);
    add_chunk(program, std::move(top));
    expect_same_either_way(program, "jump into a run");
    EXPECT_EQ(run_with(program, true).out, "17\n");
}

}  // namespace
}  // namespace oxel

namespace oxel {
namespace {

// Random programs over every statement shape the machine fuses, with
// operands of every kind (edge integers, floats, number strings, other
// strings, arrays), run fused and plain: same output, same failure.
std::string random_program(std::mt19937_64& random) {
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const char* const values[] = {"0",
                                  "1",
                                  "-1",
                                  "7",
                                  "-7",
                                  "3",
                                  "63",
                                  "64",
                                  "2.5",
                                  "-0.5",
                                  "0.0",
                                  "\"12\"",
                                  "\"abc\"",
                                  "\"\"",
                                  "9223372036854775807",
                                  "-9223372036854775808"};
    const char* const names[] = {"x", "y", "z", "w"};
    auto variable = [&] { return std::string(names[pick(4)]); };
    auto operand = [&]() -> std::string {
        switch (pick(4)) {
            case 0:
                return std::to_string(static_cast<int>(pick(19)) - 9);
            case 1:
                return pick(2) ? "1.5" : "-2.0";
            default:
                return variable();
        }
    };
    auto text_operand = [&] { return pick(2) ? std::string("s") : variable(); };
    // A comparison's operand: also a string constant, on either side.
    const char* const texts[] = {"\"\"", "\"abc\"", "\"abd\"", "\"ab\"", "\"12\""};
    auto compared = [&]() -> std::string { return pick(4) == 0 ? texts[pick(std::size(texts))] : operand(); };
    std::string text =
        "oxelfn f.p, q\n    (r. p - q)\n    rtn r\noxelfn g.p\n    (r. p * 2)\n    rtn r\n"
        "oxelfn h.p, q, u\n    (r. cat q, u)\n    rtn r\n";
    text += pick(2) ? "a(4)\ns\"abc\"\n" : "a(4)\ns\"12\"\n";
    for (const char* name : names) {
        const std::string value = values[pick(std::size(values))];
        text += value[0] == '"' ? std::string(name) + value + "\n"
                                : "(" + std::string(name) + ". " + value + ")\n";
    }
    if (pick(4) == 0)
        text += "(" + variable() + ". a)\n";
    const char* const arithmetic[] = {"+", "-", "*", "/", "%"};
    const char* const logic[] = {"AND", "OR", "XOR"};
    const char* const comparisons[] = {"==", "!=", "<", "<=", ">", ">="};
    const int statements = 4 + static_cast<int>(pick(12));
    for (int i = 0; i < statements; ++i) {
        const std::string target = variable();
        switch (pick(13)) {
            case 0:
            case 1:
                text += "(" + target + ". " + operand() + " " + arithmetic[pick(5)] + " " + operand() + ")\n";
                break;
            case 2:
                text += "(" + target + ". " + operand() + " " + logic[pick(3)] + " " + operand() + ")\n";
                break;
            case 3:
                text += "(" + target + ". bit " + (pick(2) ? "shl " : "shr ") + operand() + ", " + operand() +
                        ")\n";
                break;
            case 4:
                text += "(" + target + ". " + (pick(2) ? "bit not " : "sqrt. ") + variable() + ")\n";
                break;
            case 5: {
                const std::size_t form = pick(3);
                text += "(" + target + ". " +
                        (form == 0 ? "len " + variable()
                         : form == 1
                             ? (pick(3) == 0 ? "cat \"xy\", " + variable()
                                             : "cat " + variable() + ", " + (pick(2) ? operand() : "\"xy\""))
                             : "cmp " + text_operand() + ", " + variable()) +
                        ")\n";
                break;
            }
            case 6:
                text += "(" + target + ". char " + text_operand() + ", " +
                        (pick(2) ? std::to_string(pick(5)) : operand()) + ")\n";
                break;
            case 7:
                text += pick(2) ? "(" + target + ". get a, " + operand() + ")\n"
                                : "set a, " + operand() + ", " + operand() + "\n";
                break;
            case 8:
                text +=
                    "if " +
                    (pick(5) == 0 ? variable() : compared() + " " + comparisons[pick(6)] + " " + compared()) +
                    "\n    echo " + variable() + "\n";
                break;
            case 9:
                text += pick(2)
                            ? "lo3\n"
                            : "lo4 w " + variable() + " " + comparisons[pick(6)] + " " + compared() + "\n";
                text += "    (" + target + ". " + target + " + 1)\n";
                if (pick(2))
                    text += "    echo " + target + "\n";  // the close then evaluates the condition
                break;
            case 10:
                text += "(" + target + ". " + operand() + ")\n";
                break;
            case 11:
                text += "(" + target + ". " +
                        (pick(3) == 0   ? "f " + variable() + ", " + operand()
                         : pick(2) == 0 ? "g " + variable()
                                        : "h " + variable() + ", " + operand() + ", " + text_operand()) +
                        ")\n";
                break;
            default:
                text += "echo " + variable() + "\n";
                break;
        }
    }
    return text + "echo x\necho y\necho z\necho w\n";
}

TEST(FusedInstructions, RandomProgramsSameOutcomeAsUnfused) {
    std::mt19937_64 random(20261208);
    int compiled = 0;
    for (int n = 0; n < 3000; ++n) {
        const std::string source = random_program(random);
        try {
            const Program program = compile_program(source, "t.ox");
            ++compiled;
            expect_same_either_way(program, source);
        } catch (const Failure&) {
            // a statement the compiler refuses: not a machine question
        }
        if (HasFailure())
            break;
    }
    EXPECT_GT(compiled, 2500);
}

}  // namespace
}  // namespace oxel
