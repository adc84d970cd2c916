// The formatter's layout, case by case, and its safety net.
#include <gtest/gtest.h>

#include <string>

#include "fmt/format.h"

namespace oxel::fmt {
namespace {

struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

// Every case must also format to itself (idempotence) and, since each input
// compiles, keep the listing (format_checked says changed or unchanged).
const Case cases[] = {
    {"canonical text stays", "i1\nlo3\n    echo i\n    (i. i + 1)\n", "i1\nlo3\n    echo i\n    (i. i + 1)\n"},
    {"two spaces are level 0", "i1\n  echo i\n", "i1\necho i\n"},
    {"six spaces are level 1", "i1\nlo3\n      echo i\n      (i. i + 1)\n",
     "i1\nlo3\n    echo i\n    (i. i + 1)\n"},
    {"a tab is one level", "i1\nlo3\n\techo i\n\t(i. i + 1)\n", "i1\nlo3\n    echo i\n    (i. i + 1)\n"},
    {"tab and spaces add their columns", "i1\nlo3\n  \tif i == 1\n\t    echo i\n \t(i. i + 1)\n",
     "i1\nlo3\n    if i == 1\n        echo i\n    (i. i + 1)\n"},
    {"trailing blanks go", "i1 \t \necho i   \n", "i1\necho i\n"},
    {"blank lines become empty and are all kept", "i1\n   \n\n\t\necho i\n", "i1\n\n\n\necho i\n"},
    {"cmt inside a string stays", "echo \"a   cmt   b  \"  \n", "echo \"a   cmt   b  \"\n"},
    {"inline comment after one blank", "i1    cmt  one\necho i\t cmt two  \n", "i1 cmt  one\necho i cmt two\n"},
    {"comment takes the next code line's level", "i1\nlo3\n cmt inside\n\t(i. i + 1)\n  cmt at end\n",
     "i1\nlo3\n    cmt inside\n    (i. i + 1)\ncmt at end\n"},
    {"comment before a dedent", "lo3\n    echo 1\n        cmt note\necho 2\n", "lo3\n    echo 1\ncmt note\necho 2\n"},
    {"CRLF line ends are kept", "i1 \r\n  echo i\t\r\n\r\n", "i1\r\necho i\r\n\r\n"},
    {"definitions take one spelling", "oxelfn  add . a ,b\n    rtn a\noxelfnmain\n    rtn 1\n",
     "oxelfn add.a, b\n    rtn a\noxelfn main\n    rtn 1\n"},
    {"a definition keeps its comment", "oxelfn f . a   cmt note\n    rtn a\n", "oxelfn f.a cmt note\n    rtn a\n"},
    {"a parameter named cmt stays glued", "oxelfn f.a,cmt\n    rtn a\n", "oxelfn f.a,cmt\n    rtn a\n"},
    {"empty file", "", ""},
    {"blanks only", "  \n\t\n", "\n\n"},
    {"last line gets a line feed", "i1\necho i", "i1\necho i\n"},
    {"last line of a CRLF file gets CRLF", "i1\r\necho i  ", "i1\r\necho i\r\n"},
    {"last line of blanks goes", "echo 1\n   ", "echo 1\n"},
    {"code after blanks and a carriage return stays", "i1\n  \recho i\n", "i1\n  \recho i\n"},
    {"carriage return inside a line stays", "echo \"a\rb\"\n", "echo \"a\rb\"\n"},
};

TEST(FormatText, LaysOutEachCaseAndIsIdempotent) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string once = format_text(c.input);
        EXPECT_EQ(once, c.expected);
        EXPECT_EQ(format_text(once), once);
        Checked checked = format_checked(c.input, "case.ox");
        EXPECT_NE(checked.outcome, Outcome::compile_error) << checked.message;
        EXPECT_NE(checked.outcome, Outcome::internal_error) << checked.message;
        if (checked.outcome == Outcome::changed)
            EXPECT_EQ(checked.formatted, c.expected);
        else
            EXPECT_EQ(c.input, c.expected);
    }
}

TEST(FormatChecked, ReportsAProgramThatDoesNotCompile) {
    Checked checked = format_checked("lo3\n  echo y\n", "broken.ox");
    EXPECT_EQ(checked.outcome, Outcome::compile_error);
    EXPECT_FALSE(checked.message.empty());
    EXPECT_TRUE(checked.formatted.empty());
}

TEST(FormatChecked, RefusesAFormattedTextThatCompilesDifferently) {
    const std::string text = "i1\nlo3\n    echo i\n    (i. i + 1)\n";
    // the increment moved out of the loop: another program
    Checked moved = check_formatted(text, "i1\nlo3\n    echo i\n(i. i + 1)\n", "case.ox");
    EXPECT_EQ(moved.outcome, Outcome::internal_error);
    EXPECT_TRUE(moved.formatted.empty());
    Checked broken = check_formatted(text, "i1\nlo3\n", "case.ox");
    EXPECT_EQ(broken.outcome, Outcome::internal_error);
    Checked same = check_formatted(text, "i1\nlo3\n\techo i\n    (i. i + 1)\n", "case.ox");
    EXPECT_EQ(same.outcome, Outcome::changed);
}

}  // namespace
}  // namespace oxel::fmt
