#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "compile_test_support.h"

namespace oxel {
namespace {

using test::code_of;
using test::failure_of;

// A fresh folder per test, removed afterwards; paths in messages are
// absolute, so the tests build them from `dir`.
class HeaderFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("oxel_structure_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        dir = root_.string() + "/";
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    void write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(dir + name).parent_path());
        std::ofstream(dir + name, std::ios::binary) << text;
    }

    std::string dir;

private:
    std::filesystem::path root_;
};

// A header's failures are placed in the header; an include that cannot be
// opened, on the line that names it.
TEST_F(HeaderFiles, FailuresArePlacedInTheirOwnFile) {
    auto place_of = [](const Failure& failure) {
        return failure.where.file + ":" + std::to_string(failure.where.line) + ":" +
               std::to_string(failure.where.first_column) + "-" + std::to_string(failure.where.last_column) +
               " (" + failure.report_file + ")";
    };
    auto failure = [&](std::string source) {
        try {
            test::compile_text(std::move(source), dir + "main.ox");
        } catch (const Failure& f) {
            return f;
        }
        return Failure{};
    };
    EXPECT_EQ(place_of(failure("x1\n  lib/missing.oxh")), dir + "main.ox:2:3-17 ()");
    write("top.oxh", "cmt\n\n  echo 1 cmt no\n");
    write("def.oxh", "oxelfn 9f\n");
    EXPECT_EQ(place_of(failure("top.oxh")), dir + "top.oxh:3:3-8 ()");
    EXPECT_EQ(place_of(failure("def.oxh")), dir + "def.oxh:1:8-9 ()");
    // a body that runs on into the next header: the report names the
    // definition's file, the place the line's own
    write("a.oxh", "oxelfn fa\n    rtn 1\n");
    write("b.oxh", "    rtn y\n");
    EXPECT_EQ(place_of(failure("a.oxh\nb.oxh")), dir + "b.oxh:1:9-9 (" + dir + "a.oxh)");
    std::string lines;
    for (int i = 0; i < 50001; ++i)
        lines += "oxel\n";
    EXPECT_EQ(place_of(failure(lines)), dir + "main.ox:1:0-0 ()");
}

// A header of exactly `size` bytes defining `big`, padded with comment and blank lines.
std::string header_of_size(std::size_t size) {
    std::string text = "oxelfn big\n    rtn 7\n";
    while (text.size() + 1000 <= size)
        text += "cmt " + std::string(995, '-') + "\n";
    text += std::string(size - text.size(), '\n');
    return text;
}

TEST_F(HeaderFiles, HeaderSizeLimit) {
    std::string below = header_of_size(2097151);
    ASSERT_EQ(below.size(), 2097151u);
    write("big.oxh", below);
    Program program = test::compile_text("big.oxh\nbig()", dir + "main.ox");
    EXPECT_EQ(code_of(program, "big"), "push_int 7, ret, push_int 0, ret");
    EXPECT_EQ(program.chunks[0].file, dir + "big.oxh");

    write("big.oxh", header_of_size(2097152));
    EXPECT_EQ(failure_of("\n\nbig.oxh", dir + "main.ox"), "Cannot open header '" + dir + "big.oxh' @ 3");
}

// Paths are compared as spelled: another spelling takes the file in again,
// and its later definition is the one calls reach.
TEST_F(HeaderFiles, SameFileThroughAnotherSpelling) {
    write("lib/c.oxh", "oxelfn fc\n    rtn 1\nc.oxh\n");
    Program twice = test::compile_text("lib/c.oxh\nlib/../lib/c.oxh\nlib/c.oxh\n(r. fc ,)", dir + "main.ox");
    ASSERT_EQ(twice.chunks.size(), 3u);
    EXPECT_EQ(twice.chunks[1].file, dir + "lib/../lib/c.oxh");
    EXPECT_EQ(code_of(twice, "__top"), "call 1, store 0, halt");
}

// Stored lines find their file through the list: a header that stores no
// line is passed over, and a body keeps the file of its definition line even
// where it runs on into the next header.
TEST_F(HeaderFiles, EachLineKeepsItsFile) {
    write("empty.oxh", "cmt nothing stored\n\n");
    write("a.oxh", "oxelfn fa\n    rtn 1\n");
    write("b.oxh", "    rtn 2\noxelfn fb\n    rtn x\n");
    EXPECT_EQ(failure_of("empty.oxh\na.oxh\nb.oxh", dir + "main.ox"),
              "Undefined variable 'x' @ 3 (" + dir + "b.oxh)");
    write("b.oxh", "    rtn y\noxelfn fb\n    rtn 2\n");
    EXPECT_EQ(failure_of("empty.oxh\na.oxh\nb.oxh", dir + "main.ox"),
              "Undefined variable 'y' @ 1 (" + dir + "a.oxh)");
    write("b.oxh", "    rtn 2\noxelfn fb\n    rtn 3\n");
    Program program = test::compile_text("empty.oxh\na.oxh\nb.oxh", dir + "main.ox");
    EXPECT_EQ(program.chunks[0].file, dir + "a.oxh");
    EXPECT_EQ(program.chunks[1].file, dir + "b.oxh");
    EXPECT_EQ(code_of(program, "fa"), "push_int 1, ret, push_int 2, ret, push_int 0, ret");
}

TEST_F(HeaderFiles, FiftyThousandStoredLinesSpreadOverHeaders) {
    // 100 headers of 500 stored lines, named in a chain, plus the main file's 1 line
    for (int h = 0; h < 100; ++h) {
        std::string text = "oxelfn f" + std::to_string(h) + "\n";
        for (int i = 0; i < 497; ++i)
            text += "    echo " + std::to_string(i) + "\n";
        text += h + 1 < 100 ? "h" + std::to_string(h + 1) + ".oxh\n" : "oxel\n";
        text += "oxel\n";
        write("h" + std::to_string(h) + ".oxh", text);
    }
    EXPECT_EQ(failure_of("h0.oxh", dir + "main.ox"), "Include loop @ 1");
    Program program = test::compile_text("h1.oxh", dir + "main.ox");  // 49,501 lines
    EXPECT_EQ(program.chunks.size(), 100u);
}

TEST_F(HeaderFiles, IncludePassErrorsBeforeTheLineLimit) {
    std::string many;
    for (int i = 0; i < 60000; ++i)
        many += "oxel\n";
    EXPECT_EQ(failure_of("x1\nmissing.oxh\n" + many, dir + "main.ox"),
              "Cannot open header '" + dir + "missing.oxh' @ 2");
    write("bad.oxh", "oxelfn f\n" + many + "echo 1\n");
    EXPECT_EQ(failure_of("bad.oxh", dir + "main.ox"),
              "Only oxelfn definitions allowed in header '" + dir + "bad.oxh' @ 60002");
    EXPECT_EQ(failure_of("x1\n" + many), "Include loop @ 1");
}

TEST(ProgramStructure, StoredLineLimitInTheMainFile) {
    std::string lines;
    for (int i = 0; i < 50000; ++i)
        lines += i % 2 ? "oxel\n" : "(note)\ncmt not stored\n\n";
    EXPECT_EQ(failure_of(lines), "compiled");
    EXPECT_EQ(failure_of(lines + "branch"), "Include loop @ 1");
}

TEST(ProgramStructure, Definitions) {
    EXPECT_EQ(failure_of("oxelfn"), "Bad function name '' @ 1");
    EXPECT_EQ(failure_of("x1\noxelfn add a, b"), "Bad function name 'add a, b' @ 2");
    EXPECT_EQ(failure_of("oxelfn f."), "Bad param name '' @ 1");
    EXPECT_EQ(failure_of("oxelfn f.a,,b"), "Bad param name '' @ 1");
    std::string params = "p0";
    for (int i = 1; i < 255; ++i)
        params += ", p" + std::to_string(i);
    Program widest = test::compile_text("oxelfn f." + params);
    EXPECT_EQ(widest.chunks[0].arity, 255);
    EXPECT_EQ(failure_of("\noxelfn wide." + params + ", p255"), "Too many params in 'wide' @ 2");
}

TEST(ProgramStructure, BodiesAndScopes) {
    // each chunk has its own scope; body errors name the defining file
    EXPECT_EQ(failure_of("x1\noxelfn f\n    echo x", "dir/m.ox"), "Undefined variable 'x' @ 3 (dir/m.ox)");
    EXPECT_EQ(failure_of("echo y", "dir/m.ox"), "Undefined variable 'y' @ 1");  // top level: no file
    EXPECT_EQ(failure_of("oxelfn f\n    echo 1\n(r. 1 + )"), "Empty expression @ 3");
    // both definitions are compiled; calls reach the later one
    EXPECT_EQ(failure_of("oxelfn f\n    echo bad\noxelfn f\n    echo 2\n"),
              "Undefined variable 'bad' @ 2 (main.ox)");
    EXPECT_EQ(code_of(test::compile_text("oxelfn f\noxelfn f\nf()\n"), "__top"), "call 1, pop, halt");
    // constants: function bodies first, in definition order, then the top level
    Program order = test::compile_text("echo \"top\"\noxelfn g\n    echo \"g\"\noxelfn h\n    echo \"h\"\n");
    EXPECT_EQ(order.strings, (std::vector<std::string_view>{"g", "h", "top"}));
    // a name is known from the first line that writes it, whether that line runs or not
    EXPECT_EQ(failure_of("x0\nif x\n    y1\necho y"), "compiled");
    EXPECT_EQ(failure_of("echo y\ny1"), "Undefined variable 'y' @ 1");
}

// What the machine relies on in every compiled program: operands in range,
// jumps inside their chunk, each chunk ending in halt or ret, "__top" last.
void expect_well_formed(const Program& program, const std::string& source) {
    ASSERT_FALSE(program.chunks.empty()) << source;
    EXPECT_EQ(program.chunks.back().name, "__top") << source;
    for (const Chunk& chunk : program.chunks) {
        ASSERT_FALSE(chunk.code.empty()) << source;
        Opcode last = chunk.code.back().op;
        EXPECT_TRUE(last == Opcode::halt || last == Opcode::ret) << source;
        EXPECT_LE(chunk.arity, chunk.slots) << source;
        for (const Instruction& in : chunk.code) {
            auto a = static_cast<std::uint64_t>(in.a);
            auto b = static_cast<std::uint64_t>(in.b);
            EXPECT_GE(in.line, 1u) << source;
            switch (in.op) {
                case Opcode::load:
                case Opcode::store:
                case Opcode::newarr:
                case Opcode::arrset:
                case Opcode::input:
                case Opcode::fopen:
                case Opcode::fwrite:
                case Opcode::fclose:
                    EXPECT_LT(a, chunk.slots) << source;
                    break;
                case Opcode::arrget:
                case Opcode::fread:
                    EXPECT_LT(a, chunk.slots) << source;
                    EXPECT_LT(b, chunk.slots) << source;
                    break;
                case Opcode::push_str:
                    EXPECT_LT(a, program.strings.size()) << source;
                    break;
                case Opcode::jmp:
                case Opcode::jmp_false:
                    EXPECT_LE(a, chunk.code.size()) << source;
                    break;
                case Opcode::call:
                    EXPECT_LT(a, program.chunks.size()) << source;
                    break;
                default:
                    break;
            }
        }
    }
}

// Any bytes give a program or one Failure: never a crash or another exception.
TEST(ProgramStructure, ArbitraryBytesFailCleanly) {
    const std::string_view tokens[] = {
        "if ",     "els",
        "lo",      "3",
        " w ",     "echo",
        "echow",   " ",
        "\t",      "    ",
        "\n",      "\r",
        "\"",      "(",
        ")",       ".",
        ",",       "x",
        "1",       "-",
        "+",       "cmt",
        "oxelfn ", "rtn ",
        "in",      "set ",
        "fopen ",  "pout",
        "vga",     "==",
        "<",       " AND ",
        "get ",    "bit shl",
        "sqrt.",   "cat ",
        "f",       std::string_view("\0", 1),
        "\xff",    "_",
        "1.5",     "e",
    };
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string source;
        std::size_t count = random() % 40;
        for (std::size_t i = 0; i < count; ++i)
            source += tokens[random() % std::size(tokens)];
        try {
            expect_well_formed(test::compile_text(source), source);
        } catch (const Failure& failure) {
            EXPECT_FALSE(failure.message.empty()) << source;
            EXPECT_GE(failure.where.line, 1u) << source;
        }
    }
}

}  // namespace
}  // namespace oxel
