// Mutated programs must compile or fail with a compile error, never crash,
// hang or throw anything else. The mutations are random but seeded, so a
// failure names the same program on every run. Nothing here runs the
// compiled code: a mutated program may well loop forever.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "lint/lint.h"

namespace oxel {
namespace {

// Programs that reach every statement form, expression form and block rule.
const std::vector<std::string_view> seeds = {
    "x5\necho x\n",
    "x5 cmt set x\nif x > 3\n    echo \"big\"\nels\n    echo \"small\"\nlo2\n    echo x\n",
    "cmt whole line\n\n  \nox.init\nbranch\noxel\n(note)\necho \"a cmt b\" cmt c\n",
    "oxelfn add.a, b\n    (s. a + b)\n    rtn s\n(r. add 1, 2)\necho r\nadd(3, 4)\n",
    "oxelfn f\n    echo \"f\"\nf()\n(r. f ,)\noxelfn g . a ,b\n        rtn a\n    echo b\n",
    "i1\nlo30\n    (by3. i % 3)\n    if by3 == 0\n        echo \"Fizz\"\n    els\n        echo i\n    (i. i "
    "+ 1)\n",
    "lo0\n    echo 0\nlo3 w x < 1\n    echo 1\nlo3w\nlo3 w\n    lo2\n        echo 2\n",
    "echo\necho \"\"\nechow \"hi\", 500\nechow x, \"1\"\nin x\nin (y)\ninput\n",
    "a(10)\nset a, 1, 2\n(r. get a, 1)\n(n. len a)\nbuf(64)\n",
    "fopen f, \"out.txt\", \"w\"\nfwrite f, -12\nfwrite f, 2.5\nfclose f\n(s. fread f, 10)\n",
    "vga mode 13\nvgax5\npout(1, 65)\npout x(2, 3)\n",
    "(r. sqrt. 2.25)\n(r. bit shl 1, 63)\n(r. bit shr -8, 1)\n(r. bit not 5)\n",
    "s\"abc\"\n(c. char s, 0)\n(d. cmp s, \"abd\")\n(e. cat s, 1.5)\n(l. len s)\n",
    "x1\ny2\n(r. x AND y)\n(r. x OR y)\n(r. x XOR y)\n(r. x - -2)\n(r. -2 * x)\n(r. x / 0)\n(r. x % 3)\n",
    "x1.5\nab12.5\nt-0.25\n(r. 1.5e3)\n(r. 0x1.8p1)\n(r. -.5)\ncount10\nx2y7\n",
    "(r. 9223372036854775807)\n(r. -9223372036854775808)\n(r. 1_000.0)\n",
    "x1\nif x == 1\n    if x != 2\n        if x <= 3\n            if x >= 0\n                echo x\n",
    "if true\n    echo 1\nif false\n    echo 2\nif els x\n    echo 3\n",
    "rtn 1\nrtn x\nrtn\nels\nfclose\n",
    "x \"a\"b\"\ngreeting \"hello\"\ngreeting\"hello\"\nx\"\n",
    "lib/a.oxh\nb.oxh\n",
    "oxelfn f.a, a\n    echo a\n\tif a\n\t\techo 1\n  \techo 2\n",
    "oxelfn f.\noxelfn f.a,,b\noxelfn add a, b\noxelfn 1x\n",
    "(x.5)\n(x)\n(1x. 5)\n( . 5)\n1x(5)\na b(5)\ng(1, 2)\ng()\n",
    "total42\ntotal 42\ntotal4.2.1\nx-5\nit's5\nx99999999999999999999\n",
    "oxelfn len.s\n    rtn 1\n(r. len \"abc\")\n(r. len)\n(r. category + 1)\n",
    "x1\r\nif x\r\n    echo 1\r\nels\r\n    echo 2\r\n",
    "oxelfn f.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (r. f m)\n    rtn r\n(z. f 10)\necho z\n",
    "lo9223372036854775807 w x\n    x1\nlo99999999999999999999\n",
    "(r. \"a b\" + \"c\")\n(r. (a + b) * 2)\n(r. x + add2 1, 2)\n(r. --5)\n(r. 5-)\n",
};

// Bytes that matter to the line, comment, quote and expression rules.
constexpr char interesting_bytes[] = "\0\r\n\t \"'(),.-+*/%=<>!_0123456789cmtxw";
constexpr std::string_view interesting(interesting_bytes, sizeof interesting_bytes - 1);

std::string mutate(std::string text, std::mt19937_64& random) {
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto any_byte = [&] {
        return random() % 2 ? interesting[pick(interesting.size())] : static_cast<char>(random() & 0xff);
    };
    int edits = 1 + static_cast<int>(pick(4));
    for (int e = 0; e < edits; ++e) {
        std::size_t at = text.empty() ? 0 : pick(text.size() + 1);
        switch (pick(8)) {
            case 0:  // flip bits
                if (!text.empty())
                    text[pick(text.size())] ^= static_cast<char>(1 << pick(8));
                break;
            case 1:  // insert a byte
                text.insert(at, 1, any_byte());
                break;
            case 2:  // delete a run
                if (!text.empty())
                    text.erase(pick(text.size()), 1 + pick(4));
                break;
            case 3:  // replace a byte
                if (!text.empty())
                    text[pick(text.size())] = any_byte();
                break;
            case 4:  // deep indentation before a line
                text.insert(at, std::string(pick(200), random() % 2 ? '\t' : ' '));
                break;
            case 5:  // a very long run of one byte
                text.insert(at, std::string(1000 + pick(20000), any_byte()));
                break;
            case 6: {  // duplicate a slice elsewhere
                if (text.empty())
                    break;
                std::size_t from = pick(text.size());
                std::string slice = text.substr(from, 1 + pick(40));
                text.insert(pick(text.size() + 1), slice);
                break;
            }
            default:  // a new line of mutated bytes
                text.insert(at, "\n" + std::string(pick(4) * 4, ' ') + std::string(1 + pick(8), any_byte()));
                break;
        }
    }
    return text;
}

TEST(Robustness, MutatedProgramsFailOnlyWithCompileErrors) {
    constexpr int iterations = 15000;
    std::mt19937_64 random(20240611);
    int compiled = 0;
    int refused = 0;
    for (int i = 0; i < iterations; ++i) {
        std::string text = mutate(std::string(seeds[i % seeds.size()]), random);
        try {
            Program program = compile_program(text, "t.ox");
            ASSERT_FALSE(program.chunks.empty());
            ++compiled;
        } catch (const Failure& failure) {
            ASSERT_FALSE(failure.message.empty()) << "iteration " << i;
            ++refused;
        } catch (const std::exception& other) {
            FAIL() << "iteration " << i << " threw " << other.what() << " for:\n" << text;
        }
    }
    // Both outcomes must really occur, or the mutations miss the point.
    EXPECT_GT(compiled, iterations / 50);
    EXPECT_GT(refused, iterations / 50);
}

// The checker on the same programs: it reports a compile error exactly when
// the compiler refuses the program, and every finding points into its line.
TEST(Robustness, CheckerAgreesWithTheCompilerOnMutatedPrograms) {
    constexpr int iterations = 3000;
    std::mt19937_64 random(20261208);
    for (int i = 0; i < iterations; ++i) {
        std::string text = mutate(std::string(seeds[i % seeds.size()]), random);
        bool refused = false;
        try {
            compile_program(text, "t.ox");
        } catch (const Failure&) {
            refused = true;
        }
        std::vector<lint::Finding> findings = lint::check_program(text, "t.ox");
        bool error = !findings.empty() && findings[0].severity == lint::Severity::error;
        ASSERT_EQ(error, refused) << "iteration " << i << ":\n" << text;
        for (const lint::Finding& finding : findings) {
            ASSERT_GE(finding.line, 1u) << "iteration " << i;
            if (finding.severity == lint::Severity::warning) {
                ASSERT_GE(finding.column, 1u) << "iteration " << i;
                ASSERT_LE(finding.column, finding.source.size()) << "iteration " << i << ": " << finding.name;
            }
        }
    }
}

}  // namespace
}  // namespace oxel
