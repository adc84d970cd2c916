#include <gtest/gtest.h>

#include <string>

#include "base/error_report.h"
#include "compiler/compile_context.h"

namespace oxel {
namespace {

// Each stored line as "number:level:text", joined by " | ".
std::string split(std::string_view text, bool header_mode = false) {
    LineList lines;
    split_lines(lines, text, "lib/h.oxh", "lib/", header_mode);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!out.empty())
            out += " | ";
        out += std::to_string(lines[i].number) + ":" + std::to_string(lines[i].level) + ":" +
               std::string(lines.text(i));
    }
    return out;
}

TEST(SplitLines, LevelsAndTrimming) {
    EXPECT_EQ(split("a\n b\n   c\n    d\n\te\n  \tf\n\t\t g\n        h"),
              "1:0:a | 2:0:b | 3:0:c | 4:1:d | 5:1:e | 6:1:f | 7:2:g | 8:2:h");
    EXPECT_EQ(split("x5\r\n\r\n  \t \n\r\tif x \t\r\necho 1\r"), "1:0:x5 | 4:0:if x | 5:0:echo 1");
    // a carriage return inside the code stays
    EXPECT_EQ(split("a\rb"), "1:0:a\rb");
}

TEST(SplitLines, Comments) {
    EXPECT_EQ(split("cmt\ncmt whole line\n    cmt\tindented\ncmtx5\ncmt.x"), "4:0:cmtx5 | 5:0:cmt.x");
    EXPECT_EQ(split("x5 cmt set x\nx6\tcmt\nx5 cmtx\nx5 xcmt y"),
              "1:0:x5 | 2:0:x6 | 3:0:x5 cmtx | 4:0:x5 xcmt y");
    // quotes protect it; one flag, flipped by every quote after the first byte
    EXPECT_EQ(split("echo \"a cmt b\" cmt c"), "1:0:echo \"a cmt b\"");
    EXPECT_EQ(split("\"a cmt b\" x cmt c"), "1:0:\"a cmt b\" x");
    EXPECT_EQ(split("echo \"a\" \" cmt b"), "1:0:echo \"a\" \" cmt b");
}

TEST(SplitLines, HeaderModeAllowsOnlyDefinitionsAtLevelZero) {
    EXPECT_EQ(split("oxelfn f\n    echo 1\ncmt note\nbranch\n(note)\nother.oxh\noxelfnx", true),
              "1:0:oxelfn f | 2:1:echo 1 | 4:0:branch | 5:0:(note) | 6:0:other.oxh | 7:0:oxelfnx");
    try {
        split("oxelfn f\n\n   echo 1\n", true);
        FAIL() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.message, "Only oxelfn definitions allowed in header 'lib/h.oxh'");
        EXPECT_EQ(failure.where.line, 3u);
    }
}

TEST(IgnoredLine, MarkersIncludesAndParenthesisedNotes) {
    for (std::string_view text : {"ox.init", "branch", "oxel", ".oxh", "echo notes.oxh", "()", "(a(b)c)"}) {
        EXPECT_TRUE(is_ignored_line(text)) << text;
    }
    for (std::string_view text : {"oxel x", "oxh", "a.oxhx", "(", "(x.5)", "(x", "(a) b"}) {
        EXPECT_FALSE(is_ignored_line(text)) << text;
    }
}

}  // namespace
}  // namespace oxel
