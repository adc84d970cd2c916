#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "compile_test_support.h"
#include "compiler/compile_context.h"
#include "compiler/text_rules.h"
#include "runtime/number_text.h"

namespace oxel {
namespace {

using test::failure_of;
using test::top_code;

// The shortest identifier before a float literal, tried one length after
// another: the definition that the compiler's faster search must match.
std::string slow_float_name(std::string_view text) {
    for (std::size_t k = 1; k < text.size(); ++k) {
        if (is_identifier(text.substr(0, k)) && is_float_literal(text.substr(k)))
            return std::string(text.substr(0, k));
    }
    return "";
}

TEST(Statements, FloatNameSearchMatchesTryingEveryLength) {
    std::mt19937 random(12345);
    constexpr std::string_view alphabet = "a_x0159.-eEpPfF_xX";
    for (int round = 0; round < 20000; ++round) {
        std::string text(1, "ab_"[random() % 3]);
        std::size_t length = random() % 10;
        for (std::size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        if (text.find('.') == std::string::npos)
            continue;
        std::string name = slow_float_name(text);
        if (name.empty()) {
            // no float form: anything but a float store
            if (failure_of(text) == "compiled") {
                EXPECT_FALSE(top_code(text).starts_with("push_float")) << text;
            }
            continue;
        }
        double value = *parse_float(std::string_view(text).substr(name.size()));
        // the echo resolves only if the name that was stored is the expected one
        EXPECT_EQ(
            top_code(text + "\necho " + name),
            "push_float " + std::to_string(std::bit_cast<std::int64_t>(value)) + ", store 0, load 0, echo")
            << text;
    }
}

// The block walk recognises ignored lines by its own byte tests; it must pass
// over exactly the lines is_ignored_line accepts (which the header check
// uses). Compiled alone, such a line leaves no code and no failure; any other
// line leaves code or fails.
TEST(Statements, WalkIgnoresExactlyTheIgnoredLines) {
    auto dir = std::filesystem::temp_directory_path() / ("oxel_ignored_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string main_path = (dir / "main.ox").string();
    constexpr std::string_view pieces[] = {"(", ")", ".",  "ox",   "el",   "ox.init", "oxel", "branch", "a",
                                           " ", "1", "\"", ".oxh", "echo", "x",       "h",    "l"};
    std::mt19937 random(2024);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (std::size_t n = 1 + random() % 4; n > 0; --n)
            text += pieces[random() % std::size(pieces)];
        text = std::string(trim(text));
        if (text.empty())
            continue;
        if (text.ends_with(".oxh")) {
            std::ofstream(dir / text);  // an include takes in this empty header
            std::error_code error;
            if (!std::filesystem::exists(dir / text, error))
                continue;  // no file can have this name here (Windows takes no '"')
        }
        std::string code;
        try {
            code = test::code_of(test::compile_text(text, main_path), "__top");
        } catch (const Failure&) {
            code = "failed";
        }
        EXPECT_EQ(is_ignored_line(text), code == "halt") << text << " -> " << code;
    }
    std::filesystem::remove_all(dir);
}

TEST(Statements, FailuresWithTheirLines) {
    struct Case {
        std::string_view source;
        std::string_view failure;
    };
    const Case cases[] = {
        {"x1\nrtn", "rtn needs a value @ 2"},
        {"els", "els without if @ 1"},
        {"x1\nif x\n    echo 1\nels\n    echo 2\nels\n    echo 3", "els without if @ 6"},
        {"lo2\n    x1\nels", "els without if @ 3"},
        {"x1\nif x\n    echo 1\n    els", "els without if @ 4"},
        {"els x", "Unknown statement 'els x' @ 1"},
        {"lo", "Bad loop 'lo' @ 1"},
        {"lo 3", "Bad loop 'lo 3' @ 1"},
        {"lo3x", "Bad loop 'lo3x' @ 1"},
        {"lo3 wx", "Bad loop 'lo3 wx' @ 1"},
        {"lo99999999999999999999", "Bad loop count 'lo99999999999999999999' @ 1"},
        {"echow 1", "echow needs 'val, ms' @ 1"},
        {"echow \"a,b\", 1", "Undefined variable '\"a' @ 1"},
        {"in", "Bad input target '' @ 1"},
        {"in ( )", "Bad input target '' @ 1"},
        {"in 5", "Bad input target '5' @ 1"},
        {"int x", "Bad input target 't x' @ 1"},
        {"set a, 1, 2", "Undefined variable 'a' @ 1"},
        {"a(2)\nset a, 1", "set needs 'arr, idx, val' @ 2"},
        {"fopen f, \"x\"", "fopen needs 'fh, path, mode' @ 1"},
        {"fopen 1f, \"x\", \"r\"", "Bad file handle '1f' @ 1"},
        {"fwrite f", "fwrite needs 'fh, val' @ 1"},
        {"fclose", "fclose needs a handle @ 1"},
        {"fclose f", "Undefined variable 'f' @ 1"},
        {"pout 1, 2", "Bad pout 'pout 1, 2' @ 1"},
        {"pout(1, 2) x", "Bad pout 'pout(1, 2) x' @ 1"},
        {"pout(1)", "pout needs 'port, val' @ 1"},
        {"pout(0x3F8, 65)", "Undefined variable '0x3F8' @ 1"},
        {"(1x. 5)", "Bad target '1x' @ 1"},
        {"( . 5)", "Bad target '' @ 1"},
        {"1x(5)", "Bad statement '1x(5)' @ 1"},
        {"a b(5)", "Bad statement 'a b(5)' @ 1"},
        {"g(1, 2)", "Unknown call 'g' @ 1"},
        {"g()", "Empty expression @ 1"},
        {"oxelfn f.a, b\nf()", "Function expects 2 args, got 0 @ 2"},
        {"oxelfn f.a, b\nf(1,)", "Function expects 2 args, got 1 @ 2"},
        {"x\"", "Unknown statement 'x\"' @ 1"},
        {"1x \"a\"", "Unknown statement '1x \"a\"' @ 1"},
        {"total 42", "Unknown statement 'total 42' @ 1"},
        {"total4.2.1", "Unknown statement 'total4.2.1' @ 1"},
        {"x-5", "Unknown statement 'x-5' @ 1"},
        {"x", "Unknown statement 'x' @ 1"},
        {"42", "Unknown statement '42' @ 1"},
        {"it's5", "Unknown statement 'it's5' @ 1"},
        {"x99999999999999999999", "Bad number 'x99999999999999999999' @ 1"},
        {"rtn x + 1", "Undefined variable 'x + 1' @ 1"},
        // block frame
        {"    x1", "Bad indentation @ 1"},
        {"x1\nif x\n        echo 1", "Bad indentation @ 3"},
        {"x1\necho x\n        echo 2", "Unexpected indented block @ 2"},
        {"rtn 1\n    echo 2", "Bad indentation @ 2"},
        {"branch\n    echo 2", "Bad indentation @ 2"},
        {"echo y\n    echo 2", "Undefined variable 'y' @ 1"},
        {"x1\nif x\n    oxelfn inner\n        echo nothing\n            deeper", "compiled"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure_of(std::string(c.source)), c.failure) << c.source;
}

// Thousands of levels, each opened by an `if`: the walk must not recurse.
TEST(Blocks, DeepNestingCompiles) {
    constexpr int depth = 4500;
    std::string source = "x1\n";
    for (int level = 0; level < depth; ++level)
        source += std::string(level, '\t') + "if x\n";
    source += std::string(depth, '\t') + "echo x\n";
    Program program = test::compile_text(std::move(source));
    const std::vector<Instruction>& code = program.chunks.back().code;
    ASSERT_EQ(code.size(), 2u + 2u * depth + 2u + 1u);
    // every jmp_false skips to the end of the innermost block
    for (int level = 0; level < depth; ++level)
        EXPECT_EQ(code[3 + 2 * level].a, 2 + 2 * depth + 2);
    EXPECT_EQ(code.back().op, Opcode::halt);
}

}  // namespace
}  // namespace oxel
