#include <gtest/gtest.h>

#include <string>

#include "compile_test_support.h"
#include "compiler/compile_context.h"

namespace oxel {
namespace {

std::string pieces_of(std::string_view text) {
    std::string out;
    for_each_piece(text, [&](std::string_view piece) { out += "[" + std::string(piece) + "]"; });
    // the counted split agrees with it
    Pieces<2> first_two(text);
    std::string kept;
    for (std::size_t i = 0; i < std::min<std::size_t>(first_two.size(), 2); ++i)
        kept += "[" + std::string(first_two[i]) + "]";
    EXPECT_TRUE(out.starts_with(kept)) << text;
    EXPECT_EQ(first_two.size(), static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1)
        << text;
    return out;
}

TEST(CommaPieces, OnePieceMoreThanCommasEachTrimmed) {
    EXPECT_EQ(pieces_of(""), "[]");
    EXPECT_EQ(pieces_of("a, b,\tc "), "[a][b][c]");
    EXPECT_EQ(pieces_of("a,,b,"), "[a][][b][]");
    EXPECT_EQ(pieces_of("\"x, y\", 1"), "[\"x][y\"][1]");
}

// Texts that look like one form and are another, or fail; the listings of
// the forms themselves are golden programs.
TEST(Expressions, FallThroughsAndFailures) {
    const std::string add2 = "oxelfn add2.a, b\n";
    const std::pair<std::string, std::string> cases[] = {
        {"(r.)", "Empty expression @ 1"},
        {"(r. 5-)", "Empty expression @ 1"},
        {"a1\nif a ==", "Empty expression @ 2"},
        {"(r. --5)", "Undefined variable '-' @ 1"},
        {"(r. \"a-b\")", "Undefined variable '\"a' @ 1"},
        {"a1\nb2\n(r. (a + b) * 2)", "Undefined variable '(a' @ 3"},
        {"a1\nb2\n(r. a - b - b)", "Undefined variable 'b-b' @ 3"},
        {"x1\n(r. x\tAND x)", "Undefined variable 'x\tAND x' @ 2"},
        {"x1\n(r. x AND x OR x)", "Undefined variable 'x OR x' @ 2"},
        {"x1\n(r. x OR x AND x)", "Undefined variable 'x OR x' @ 2"},
        {"(r. cat + 1)", "cat needs 'a, b' @ 1"},
        {"(r. category + 1)", "Undefined variable 'category' @ 1"},
        {"(r. len)", "Undefined variable 'len' @ 1"},
        {"(r. 1.5e-3)", "Undefined variable '1.5e' @ 1"},
        {"(r. +3)", "Undefined variable '+3' @ 1"},
        {"echo 1_000", "Undefined variable '1_000' @ 1"},
        {"(r. 9223372036854775808)", "Bad number '9223372036854775808' @ 1"},
        {"(r. 9223372036854775807)\n(s. -9223372036854775808)", "compiled"},
        {"(r. r + 1)", "compiled"},
        {"a(3)\n(r. get a, 1, 2)", "get needs 'arr, idx' @ 2"},
        {"(r. fread fh, 1)", "Undefined variable 'fh' @ 1"},
        {"(r. fread 1)", "fread needs 'fh, n' @ 1"},
        {"(r. bit shl 1)", "bit shl needs 'val, n' @ 1"},
        {"(r. cat \"a,b\", \"c\")", "cat needs 'a, b' @ 1"},
        {add2 + "(r. 1 + add2 1, 2)", "Undefined variable 'add21,2' @ 2"},
        {add2 + "(r. add2 1 + 2, 3)", "Undefined variable '1 + 2' @ 2"},
        {add2 + "(r. add2 1)", "Function expects 2 args, got 1 @ 2"},
        {add2 + "(r. add2)", "Undefined variable 'add2' @ 2"},
        {"oxelfn len.a\n(r. len 1, 2)", "Undefined variable '1, 2' @ 2"},
        {"s\"a\"\nif s < \"x==y\"", "Undefined variable 's < \"x' @ 2"},
        {"a1\nif a = a", "Undefined variable 'a = a' @ 2"},
    };
    for (const auto& [source, failure] : cases)
        EXPECT_EQ(test::failure_of(source), failure) << source;
}

}  // namespace
}  // namespace oxel
