#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "lint/lint.h"
#include "lint/near_names.h"

namespace oxel::lint {
namespace {

enum class Detail : bool { names, spans };

// "line:column name" for each finding, "error" standing for a compile error;
// the path is shown when it is not the main file's. With spans a warning
// shows "line:column-last_column name", then " =fix" when it has a fix.
std::string findings_of(std::string source, std::string_view path = "main.ox", Detail detail = Detail::names) {
    std::string text;
    for (const Finding& finding : check_program(std::move(source), path)) {
        if (!text.empty())
            text += ", ";
        if (finding.path != path)
            text += finding.path + ":";
        text += std::to_string(finding.line) + ":" + std::to_string(finding.column);
        if (finding.severity == Severity::error) {
            text += " error";
            continue;
        }
        if (detail == Detail::spans)
            text += "-" + std::to_string(finding.last_column);
        text += " " + finding.name;
        if (detail == Detail::spans && !finding.fix.empty())
            text += " =" + finding.fix;
    }
    return text;
}

struct Case {
    std::string_view source;
    std::string_view findings;  // empty: the program checks clean
};

void check_cases(std::span<const Case> cases, Detail detail = Detail::names) {
    for (const Case& c : cases)
        EXPECT_EQ(findings_of(std::string(c.source), "main.ox", detail), c.findings) << c.source;
}

TEST(Lint, StatementWordsGluedToNames) {
    const Case cases[] = {
        {"inword0\necho word0", "1:1 prefix-word"},
        {"x1\nechowx, 1", "2:1 prefix-word"},
        {"vgamode5", "1:1 prefix-word"},
        {"lo5\nlo0 cmt lint-ignore=prefix-word", "1:1 prefix-word"},
        {"lo3\n  echo 1", "1:1 empty-block, 2:3 indent-unit"},
        // the compile error that the glued word causes later, and its cause
        {"inword0\necho inword", "2:6 error, 1:1 prefix-word"},
        {"inword0\n(r. 1 + in word)", "2:9 error, 1:1 prefix-word"},
        {"lo1\n(lo. lo + 1)", "1:1 prefix-word"},
        {"  poutx(1, 2)", "1:3 indent-unit, 1:3 prefix-word"},
        // near misses
        {"in word0\necho word0", ""},
        {"in (w)\necho w\nin(v)\necho v", ""},
        {"vga mode 13\nvga\npout(1, 2)\nx1\nechow x, 1", ""},
        {"lo10\n    echo 1\nlo2 w 1 < 2\n    echo 2", ""},
        {"index5\necho index", "2:6 error, 1:1 prefix-word"},
        {"in dex5\necho index", "2:6 error"},
    };
    check_cases(cases);
}

TEST(Lint, MisspeltStatementsAndCalls) {
    const Case cases[] = {
        // one slip, one warning: the variable the slip made is not also unused
        {"ehco \"hello\"", "1:1 statement-typo"},
        {"echo\"hi\"", "1:1 statement-typo"},
        {"Echo \"hi\"", "1:1 statement-typo"},
        {"print \"hi\"", "1:1 statement-typo"},
        {"oxelfn f\n    rtn0\nf()\necho5\necho2.5", "2:5 statement-typo, 4:1 statement-typo, 5:1 statement-typo"},
        {"net5\necho net\nechoes5\necho echoes", ""},
        {"  fwirte \"x\"", "1:3 indent-unit, 1:3 statement-typo"},
        // and the function it was meant for is not unused
        {"oxelfn show.x\n    echo x\nshwo(5)", "3:1 call-typo"},
        {"oxelfn show.x\n    echo x\nshow(1)\nshwo(5)\nbuf(2)", "4:1 call-typo, 5:1 unused-variable"},
        // a name that is read is meant as a variable
        {"sep \", \"\n(s. cat \"a\", sep)\necho s", ""},
        {"ehco \"hello\"\necho ehco", ""},
        {"oxelfn show.x\n    echo x\nshow(1)\nshwo(5)\nset shwo, 0, 1", ""},
        // near misses, never read: ordinary names, a blank-free name one edit away, an array unlike
        // any function
        {"greeting \"hello\"\nechos\"x\"\neach \"x\"",
         "1:1 unused-variable, 2:1 unused-variable, 3:1 unused-variable"},
        {"oxelfn show.x\n    echo x\nshow(1)\nbuf(5)", "4:1 unused-variable"},
        // the comment word counts as a statement word; markers and `oxelfn` do not
        {"cmt\"x\"\ncmd \"y\"", "1:1 statement-typo, 2:1 statement-typo"},
        {"brnch \"x\"\noxl \"y\"\noxelfm \"z\"",
         "1:1 unused-variable, 2:1 unused-variable, 3:1 unused-variable"},
    };
    check_cases(cases);
    // a slip one edit from two words is offered the first in the word table's order
    std::vector<Finding> findings = check_program("echw \"x\"", "main.ox");
    ASSERT_FALSE(findings.empty());
    EXPECT_NE(findings[0].message.find("the statement is 'echo' followed"), std::string::npos)
        << findings[0].message;
}

TEST(Lint, IndentationAndBlocks) {
    const Case cases[] = {
        {"x1\nif x\n  echo x", "2:1 empty-block, 3:3 indent-unit"},
        {"x1\nif x\n      echo x", "3:7 indent-unit"},
        {"x1\nlo2\n    if x\n\t    echo x", "4:1 mixed-indent"},
        {"x1\nif x\n    echo x\nif x\n\techo x\nif x\n\techo x", "5:1 mixed-indent"},
        {"oxelfn f\n        echo 1\n    echo 2\n    echo 3\nf()", "3:5 skipped-lines"},
        {"lo2\n    oxelfn g\n        echo 1\n    echo 2", "2:5 skipped-lines"},
        {"lo3 w 1 < 2\necho 1", "1:1 empty-block"},
        {"x1\nif x\n    echo 1\nels\necho 2", "4:1 empty-block"},
        {"x1\nif x\nels\n    echo 2", ""},
        // near misses
        {"x1\nif x\n    echo x\nels\n    echo 2\nlo2\n    if x\n        echo x", ""},
        {"x1\nif x\n\techo x\nlo2\n\tif x\n\t\techo x", ""},
        {"oxelfn f\n        echo 1\n        echo 2\nf()", ""},
        {"x1 cmt\n      cmt a comment indented by 6\n\t cmt\necho x", ""},
    };
    check_cases(cases);
}

TEST(Lint, IgnoredAndSplitLines) {
    const Case cases[] = {
        {"total1\n(total + 1)\necho total", "2:1 paren-no-dot"},
        {"(x)", "1:1 paren-no-dot"},
        {"s\"a\"\n(s. cat s, \",\")\necho s", "2:1 error, 2:13 quoted-comma"},
        {"a(3)\nset a, 0, \"x,y\"", "2:1 error, 2:13 quoted-comma"},
        {"fopen f, \"o\", \"w\"\nfwrite f, \"a,b\"", "2:1 error, 2:13 quoted-comma"},
        {"echow \"a,b\", 1", "1:7 error, 1:9 quoted-comma"},
        {"oxelfn f.a, b\n    rtn a\nf(\"x,y\")", "3:3 error, 3:5 quoted-comma"},
        // the indentation is checked even when the program does not compile
        {"  x1\n  (r. cat x, \"a,b\")", "2:3 error, 1:3 indent-unit, 2:3 indent-unit, 2:16 quoted-comma"},
        // near misses: commas between the strings, or in strings that are not split
        {"(total. total + 1)\necho total\nbranch\nox.init", ""},
        {"(s. cat \"a\", \"b\")\necho s\nt\"a,b\"\necho t\n(u. \"a,b\")\necho u\necho \"a,b\"", ""},
        {"echow \"x\", \",\"", ""},
        {"echo y", "1:6 error"},
    };
    check_cases(cases);
}

TEST(Lint, UnreachableAndUnused) {
    const Case cases[] = {
        {"oxelfn len.s\n    rtn 1\nlen(\"a\")", "1:8 prefix-name"},
        {"oxelfn fread\n    rtn 1\nfread()", "1:8 prefix-name"},
        {"oxelfn f\n    rtn 1\n    echo 2\n(r. f ,)\necho r", "3:5 unreachable"},
        {"rtn 0\noxelfn f\n    rtn 1\nbranch\nf()", "5:1 unreachable"},
        {"x5\ny6\necho y", "1:1 unused-variable"},
        {"(total. 5)\nin total", "1:2 unused-variable"},
        {"oxelfn f\n    echo 1", "1:8 unused-function"},
        {"oxelfn  f\n    echo 1\noxelfn f\n    echo 2\nf()", "1:9 unused-function"},
        // near misses
        {"oxelfn length.s\n    rtn 1\n(r. length \"a\")\necho r", ""},
        {"oxelfn bit.s\n    rtn 1\n(r. bit 2)\necho r\noxelfn sqrt.s\n    rtn 1\n(q. sqrt 2)\necho q", ""},
        {"oxelfn f.x\n    if x\n        rtn 1\n    rtn 2\n(r. f 1)\necho r", ""},
        {"x5\n(x. x + 1)\n_y1\na(3)\nset a, 0, 1\nfopen h, \"p\", \"r\"\nfclose h", ""},
        {"oxelfn f.p, q\n    rtn q\nf(1, 2)\noxelfn g\n    rtn 0\n(r. g ,)\necho r", ""},
        {"x1\n(y. x AND 1)\n(z. x   + y)\necho z", ""},
    };
    check_cases(cases);
}

TEST(Lint, SilencedOnlyByAComment) {
    const Case cases[] = {
        {"x5 cmt lint-ignore", ""},
        {"x5 cmt lint-ignore=unused-variable, kept for the example", ""},
        {"x5 cmt lint-ignore=indent-unit,paren-no-dot", "1:1 unused-variable"},
        {"x5 cmt lint-ignored", "1:1 unused-variable"},
        // the compiler reads this `cmt` inside the string: no comment, no silence
        {"s\"a cmt lint-ignore\"", "1:1 unused-variable"},
        {"(x) cmt lint-ignore=paren-no-dot", ""},
    };
    check_cases(cases);
}

TEST(Lint, HeadersAreCheckedThroughTheirPrograms) {
    auto dir = std::filesystem::temp_directory_path() / ("oxel_lint_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "lib");
    std::ofstream(dir / "lib" / "util.oxh")
        << "cmt helpers\noxelfn helper\n    x5\n    rtn 1\noxelfn spare\n    rtn 0\n"
           "oxelfn broken\n    y1\n    z\"never read\"\n    rtn y\n";
    // Built with '/' as the programs spell them, on every platform.
    std::string main = dir.string() + "/main.ox";
    std::string header = dir.string() + "/lib/util.oxh";
    EXPECT_EQ(findings_of("lib/util.oxh\n(r. helper ,)\necho r", main),
              header + ":3:5 unused-variable, " + header + ":9:5 unused-variable");

    // one file under two spellings: each spelling's lines are its own
    EXPECT_EQ(findings_of("lib/util.oxh\nlib/./util.oxh\n(r. helper ,)\necho r", main),
              header + ":3:5 unused-variable, " + header + ":9:5 unused-variable, " + dir.string() +
                  "/lib/./util.oxh:3:5 unused-variable, " + dir.string() +
                  "/lib/./util.oxh:9:5 unused-variable");

    std::ofstream(dir / "lib" / "bad.oxh") << "oxelfn bad\n    echo nothing\n";
    EXPECT_EQ(findings_of("lib/bad.oxh\nbad()", main), dir.string() + "/lib/bad.oxh:2:10 error");
    std::ofstream(dir / "lib" / "names.oxh") << "oxelfn good\n    rtn 1\nmissing.oxh\n";
    std::ofstream(dir / "lib" / "params.oxh") << "cmt\noxelfn bad.a,,b\n    rtn 1\n";
    EXPECT_EQ(findings_of("x1\nlib/names.oxh\necho x", main), dir.string() + "/lib/names.oxh:3:1 error");
    EXPECT_EQ(findings_of("x1\nlib/params.oxh\noxelfn ok.a\n    rtn a\n(y. ok 1)\necho y", main),
              dir.string() + "/lib/params.oxh:2:1 error");
    std::ofstream(dir / "lib" / "name.oxh") << "oxelfn 9f\n    rtn 1\n";
    EXPECT_EQ(findings_of("lib/name.oxh", main), dir.string() + "/lib/name.oxh:1:8 error");
    // a header's byte-order mark fails its first line before any line is recorded
    std::ofstream(dir / "lib" / "marked.oxh") << "\xEF\xBB\xBFoxelfn marked\n    rtn 1\n";
    std::string marked = dir.string() + "/lib/marked.oxh";
    EXPECT_EQ(findings_of("lib/marked.oxh", main), marked + ":1:1 error, " + marked + ":1:1 byte-order-mark");
    std::ofstream(dir / "lib" / "top.oxh") << "cmt only definitions\n\necho 1\n";
    EXPECT_EQ(findings_of("x1\nlib/top.oxh\necho x", main), dir.string() + "/lib/top.oxh:3:1 error");
    std::filesystem::remove_all(dir);
}

// A compile error comes with one warning on its cause, spanning the text at
// fault; each near miss beside it compiles, or fails without a guess.
TEST(Lint, CompileErrorsNameTheirCause) {
    const Case cases[] = {
        // a statement word glued to a name
        {"longest0", "1:1 error, 1:1-8 prefix-word"},
        {"long \"abcd\"", "1:1 error, 1:1-4 prefix-word"},
        {"(longest. 0)\necho longest\nlo98\n    echo 1", ""},
        {"lo 3\n    echo 1", "1:1 error"},
        // ... or a function whose name it takes over, at the definition
        {"oxelfn insertion.x\n    rtn x\ninsertion(5)", "3:3 error, 1:8-16 prefix-name"},
        {"oxelfn lower.x\n    rtn x\nlower(5)", "3:1 error, 1:8-12 prefix-name"},
        {"oxelfn insert.x\n    rtn x\n(r. insert 5)\necho r", "1:8-13 prefix-name"},
        {"oxelfn vgaline.x\n    rtn x\nvgaline(3)", "1:8-14 prefix-name"},
        {"oxelfn echoes.x\n    rtn x\nechoes(5)\noxelfn iffy\n    rtn 0\niffy()", ""},
        // words of other languages
        {"x1\nif x\n    echo 1\nelse\n    echo 2", "4:1 error, 4:1-4 foreign-word =els"},
        {"x1\nreturn x", "2:1 error, 2:1-6 foreign-word =rtn"},
        {"x1\nwhile x < 3\n    echo x", "2:1 error, 2:1-5 foreign-word"},
        {"else:", "1:1 error, 1:1-4 foreign-word"},
        {"elsewhere5\necho elsewhere\nx1\nif x\n    echo 1\nels\n    echo 2", ""},
        // an operator where the statement takes one value
        {"picked-1", "1:1 error, 1:7-7 operator-statement"},
        {"x = 5", "1:1 error, 1:3-3 operator-statement"},
        {"x1\nrtn x + 1", "2:5 error, 2:7-7 operator-statement"},
        {"x1\nrtn -x + 1", "2:5 error, 2:8-8 operator-statement"},
        {"x1\nif x + 1 > 3\n    echo x", "2:4 error, 2:6-6 operator-statement"},
        {"a1\n(r. a - a - a)", "2:9 error, 2:11-11 operator-statement"},
        {"picked1\n(picked. -1)\n(p. picked - 1)\necho p", ""},
        // a logical operator without its blanks
        {"a1\nb1\n(c. a ANDb)", "3:5 error, 3:7-9 operator-blanks"},
        {"a1\n(c. a ANDb)", "2:5 error"},
        {"a1\n(c. aOR 1)", "2:5 error, 2:6-7 operator-blanks"},
        {"a1\n(c. a\tXOR 1)", "2:5 error, 2:7-9 operator-blanks"},
        {"a1\n(c. a and 1)", "2:5 error, 2:7-9 operator-blanks"},
        {"a1\n(c. a AND 1)\n(d. c OR a)\necho d", ""},
        {"a1\n(c. a ORDERS)", "2:5 error"},
        // an operator inside quotes
        {"(u. \"a-b\")", "1:5 error, 1:7-7 quoted-operator"},
        {"(u. \"x AND y\")", "1:5 error, 1:8-10 quoted-operator"},
        {"u \"a-b\"\n(v. \"ab\")\necho u\necho v", ""},
        // an exponent's sign
        {"(x. 2.5e-3 * 4)", "1:5 error, 1:5-10 negative-exponent =0.0025"},
        {"(x. -1.5e+2)", "1:5 error, 1:5-11 negative-exponent =-150.0"},
        {"(x. 4 * 2.5e-3)\n(y. 1.5e3)\necho x\necho y", ""},
        {"(x. y2e-3)", "1:5 error"},
        // unknown functions and variables, and the near name when there is one
        {"(r. cube 3)", "1:5 error, 1:5-8 unknown-name"},
        {"oxelfn sq.x\n    rtn x\n(r. sqr 3)", "3:5 error, 3:5-7 unknown-name =sq"},
        {"oxelfn sq.x\n    rtn x\nsqr(4)", "3:1-3 call-typo =sq"},
        {"oxelfn sq.x\n    rtn x\nsqr(4, 5)", "3:1 error, 3:1-3 unknown-name =sq"},
        {"oxelfn sq.x\n    rtn x\necho sq 4", "3:6 error, 3:6-7 unknown-name"},
        {"total5\n(r. totl + 1)", "2:5 error, 2:5-8 unknown-name =total"},
        {"oxelfn f.count\n    rtn cont", "2:9 error, 2:9-12 unknown-name =count"},
        {"total5\n(r. zzz + 1)", "2:5 error"},
        {"oxelfn f\n    total5\n    rtn 0\n(r. totl + 1)", "4:5 error"},
        {"oxelfn sq.x\n    rtn x\ntotal5\ntotl6\n(r. sq total)\necho r\necho totl", ""},
        // a comma inside quotes: the comma
        {"s\"a\"\n(s. cat s, \"x,y\")", "2:1 error, 2:14-14 quoted-comma"},
        // a byte-order mark
        {"\xEF\xBB\xBF" "echo \"bom\"", "1:1 error, 1:1-3 byte-order-mark"},
        {"echo \"\xEF\xBB\xBF\"", ""},
        // tabs count 4 columns: a tab line, then 8 spaces meant as the same level
        {"x1\nif x\n\techo 1\n        echo 2", "3:2 error, 4:1-8 mixed-indent"},
        {"x1\nif x\n\techo 1\n\t\techo 2", "3:2 error"},
        {"x1\nlo2\n    if x\n\t    echo x", "4:1-5 mixed-indent =        "},
    };
    check_cases(cases, Detail::spans);
}

TEST(Lint, NearNames) {
    struct Distance {
        std::string_view a, b;
        std::size_t edits;
    };
    const Distance distances[] = {
        {"sq", "sqr", 1},       {"total", "totl", 1},   {"ehco", "echo", 1},  {"abc", "abc", 0},
        {"count", "cuont", 1},  {"kitten", "sitting", 3}, {"", "abc", 3},     {"ab", "ba", 1},
        {"insertion", "inserton", 1}, {"length", "lenght", 1}, {"cube", "sq", 4},
    };
    for (const Distance& d : distances) {
        EXPECT_EQ(edit_distance(d.a, d.b), d.edits) << d.a << " " << d.b;
        EXPECT_EQ(edit_distance(d.b, d.a), d.edits) << d.b << " " << d.a;
    }
    // near: one edit with three bytes or more, two with six on both sides
    EXPECT_TRUE(is_near("sqr", "sq"));
    EXPECT_TRUE(is_near("lenght", "length"));
    EXPECT_TRUE(is_near("countre", "counter"));
    EXPECT_TRUE(is_near("counters", "cuonter"));
    EXPECT_FALSE(is_near("totals", "toatl"));
    EXPECT_FALSE(is_near("y", "x"));
    EXPECT_FALSE(is_near("ab", "ac"));
    EXPECT_FALSE(is_near("total", "total"));
    EXPECT_FALSE(is_near("cube", "cute2"));
    EXPECT_FALSE(is_near("abcde", "edcba"));
    const std::string known[] = {"count", "total", "totals"};
    EXPECT_EQ(nearest_name("totl", known), "total");
    EXPECT_EQ(nearest_name("totalz", known), "total");  // the first of two at one edit
    EXPECT_EQ(nearest_name("zzz", known), "");
}

// `in name` with nothing reading the name skips a line of input.
TEST(Lint, InputReadForNothingIsNoSlip) {
    const Case cases[] = {
        {"in header\nin x\necho x", ""},
        {"in x\nx5", "2:1 unused-variable"},
        {"in x\nin x", ""},
    };
    check_cases(cases);
}

// The span an editor underlines: a compile error's own range, or the word a
// warning is about.
TEST(Lint, FindingsSpanTheirText) {
    auto span = [](std::string source) {
        std::vector<Finding> found = check_program(std::move(source), "main.ox");
        return found.empty() ? std::string("none")
                             : std::to_string(found[0].column) + "-" + std::to_string(found[0].last_column);
    };
    EXPECT_EQ(span("x1\n(c. x + yy)\necho c\n"), "9-10");  // the undefined name
    EXPECT_EQ(span("bogus thing  \n"), "1-11");             // a statement, not the blanks after it
    EXPECT_EQ(span("cmt\n  pr. 1\n"), "3-7");
    EXPECT_EQ(span("abc5\n"), "1-4");  // a warning: the word it is about
    EXPECT_EQ(span("oxelfn f.a, b\n    rtn a\n"), "8-8");  // a function: its name
}

TEST(Lint, TextReportAndJson) {
    Finding warning{Severity::warning, "p.ox", 3, 3, "unused-variable", "msg", "\t x5", 4};
    EXPECT_EQ(format_text(warning), "p.ox:3:3: warning: msg [unused-variable]\n\t x5\n\t ^~\n");
    Finding error{Severity::error, "p.ox", 1, 1, "", "Include loop", "", 1};
    EXPECT_EQ(format_text(error), "p.ox:1:1: error: Include loop\n");

    Finding odd{Severity::warning, "d\xc3\xa9j\xe0.ox", 1, 2, "n", "say \"x\\\"\n", "\x01\xff", 2, "f\"x"};
    const Finding both[] = {error, odd};
    EXPECT_EQ(format_json(both),
              "[\n  {\"path\": \"p.ox\", \"line\": 1, \"column\": 1, \"end_column\": 1, \"severity\": \"error\", "
              "\"message\": \"Include loop\", \"source\": \"\"},\n"
              "  {\"path\": \"d\xc3\xa9j\\ufffd.ox\", \"line\": 1, \"column\": 2, \"end_column\": 2, "
              "\"severity\": \"warning\", \"name\": \"n\", \"message\": \"say \\\"x\\\\\\\"\\n\", "
              "\"source\": \"\\u0001\\ufffd\", \"fix\": \"f\\\"x\"}\n]\n");
    EXPECT_EQ(format_json({}), "[]\n");
}

// The warning names a document lists under its warnings heading, in order:
// after the line `heading`, each line that follows a line `before` and starts
// with `marker` names one, up to the next line that starts with `end`.
std::vector<std::string> documented_warnings(const char* path, std::string_view heading,
                                             std::string_view before, std::string_view marker,
                                             std::string_view end) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    std::vector<std::string> names;
    std::string line, previous;
    bool inside = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (inside && line.starts_with(end))
            break;
        if (inside && previous.starts_with(before) && line.starts_with(marker))
            names.push_back(line.substr(marker.size()));
        inside = inside || line == heading;
        previous = line;
    }
    return names;
}

// Every row of the table is documented in the guide and the man page, in
// the table's order, and neither documents a warning the table lacks.
TEST(Lint, WarningTableIsDocumented) {
    std::vector<std::string> table;
    for (const WarningInfo& warning : warnings)
        table.emplace_back(warning.name);
    EXPECT_EQ(documented_warnings(OXEL_LINT_GUIDE, "## The warnings", "", "### ", "## "), table);
    EXPECT_EQ(documented_warnings(OXEL_LINT_MAN_PAGE, ".SH WARNINGS", ".TP", ".B ", ".SH"), table);
}

TEST(Lint, EveryWarningHasADistinctName) {
    std::set<std::string_view> names;
    for (const WarningInfo& warning : warnings) {
        EXPECT_TRUE(names.insert(warning.name).second) << warning.name;
        EXPECT_TRUE(is_warning_name(warning.name));
    }
    EXPECT_FALSE(is_warning_name("unused"));
}

}  // namespace
}  // namespace oxel::lint
