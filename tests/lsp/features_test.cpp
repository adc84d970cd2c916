// Names, help, formatting and fixes, through the protocol.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "compiler/statement_kind.h"
#include "lsp/requests.h"
#include "lsp/word_help.h"
#include "session.h"

namespace oxel::lsp {
namespace {

using testing::at;
using testing::Session;

const std::string main_uri = "file:///nowhere-lsp-test/main.ox";
const std::string header_uri = "file:///nowhere-lsp-test/shapes.oxh";

const std::string header_text =
    "cmt shapes: areas\n"
    "oxelfn square.side\n"
    "    (a. side * side)\n"
    "    rtn a\n";
// line 3 is `oxelfn area.w, h`, 6 is the call of area, 7 the call of square
const std::string main_text =
    "shapes.oxh\n"
    "cmt the area of a rectangle\n"
    "cmt in square units\n"
    "oxelfn area.w, h\n"
    "    (a. w * h)\n"
    "    rtn a\n"
    "(r. area 6, 7)\n"
    "(s. square r)\n"
    "count5\n"
    "echo s\n"
    "echo count\n";

class LspFeatures : public ::testing::Test {
protected:
    Session session;
    void SetUp() override {
        session.initialize();
        session.open(header_uri, header_text);
        session.open(main_uri, main_text);
    }
};

// "uri-tail line:start-end" of a location.
std::string where(const json& location) {
    std::string uri = location["uri"];
    const json& range = location["range"];
    return uri.substr(uri.rfind('/') + 1) + " " + std::to_string(range["start"]["line"].get<int>()) + ":" +
           std::to_string(range["start"]["character"].get<int>()) + "-" +
           std::to_string(range["end"]["character"].get<int>());
}

TEST_F(LspFeatures, Definition) {
    struct Case {
        std::uint32_t line, character;
        std::string found;  // empty: none
    };
    const Case cases[] = {
        {6, 5, "main.ox 3:7-11"},       // a call of area
        {3, 9, "main.ox 3:7-11"},       // the definition itself
        {7, 6, "shapes.oxh 1:7-13"},    // a call of square, in the header
        {0, 3, "shapes.oxh 0:0-0"},     // the include line
        {9, 5, "main.ox 7:1-2"},        // s, to its assignment
        {10, 7, "main.ox 8:0-5"},       // count, assigned as count5
        {4, 8, "main.ox 3:12-13"},      // the parameter w
        {5, 8, "main.ox 4:5-6"},        // a of area, not the a of square
        // near misses: a statement word, a number, a comment
        {9, 1, ""},
        {6, 10, ""},
        {1, 5, ""},
    };
    for (const Case& c : cases) {
        json found = session.result("textDocument/definition", at(main_uri, c.line, c.character));
        EXPECT_EQ(found.is_null() ? "" : where(found), c.found) << c.line << ":" << c.character;
    }
    // from inside the header: its variable, in the scope of its function
    EXPECT_EQ(where(session.result("textDocument/definition", at(header_uri, 3, 9))), "shapes.oxh 2:5-6");
}

TEST_F(LspFeatures, References) {
    const auto references = [&](std::uint32_t line, std::uint32_t character, bool declaration) {
        json params = at(main_uri, line, character);
        params["context"] = {{"includeDeclaration", declaration}};
        std::string found;
        for (const json& location : session.result("textDocument/references", params))
            found += (found.empty() ? "" : ", ") + where(location);
        return found;
    };
    EXPECT_EQ(references(6, 5, true), "main.ox 3:7-11, main.ox 6:4-8");
    EXPECT_EQ(references(6, 5, false), "main.ox 6:4-8");
    EXPECT_EQ(references(7, 5, true), "main.ox 7:4-10, shapes.oxh 1:7-13");
    // a variable within its scope: the a of area, none of square's
    EXPECT_EQ(references(4, 5, true), "main.ox 4:5-6, main.ox 5:8-9");
    EXPECT_EQ(references(6, 1, true), "main.ox 6:1-2, main.ox 7:11-12");
    EXPECT_EQ(references(1, 1, true), "");
}

TEST_F(LspFeatures, Rename) {
    struct Case {
        std::uint32_t line, character;
        std::string name;
        std::string edits;  // "line:start-end" in the main file, or "error" when refused
    };
    const Case cases[] = {
        {4, 8, "width", "3:12-13 4:8-9"},
        {6, 5, "surface", "3:7-11 6:4-8"},
        {10, 7, "total", "8:0-5 10:5-10"},
        // refused: not a name, a word of the language, a name taken, a digit
        // that `count5` would swallow
        {4, 8, "2w", "error"},
        {4, 8, "a b", "error"},
        {4, 8, "", "error"},
        {4, 8, "echo", "error"},
        {4, 8, "inside", "error"},
        {4, 8, "len", "error"},
        {4, 8, "h", "error"},
        {6, 5, "square", "error"},
        {6, 5, "count", "error"},
        {10, 7, "count2", "error"},
        {1, 1, "x", "error"},
        // near misses: a digit where no line glues the name to a number
        {4, 8, "w2", "3:12-13 4:8-9"},
        {6, 1, "r2", "6:1-2 7:11-12"},
    };
    for (const Case& c : cases) {
        json params = at(main_uri, c.line, c.character);
        params["newName"] = c.name;
        json reply = session.request("textDocument/rename", params);
        std::string found;
        if (reply.contains("error")) {
            found = "error";
            EXPECT_EQ(reply["error"]["code"], request_failed);
        } else {
            for (const json& edit : reply["result"]["changes"][main_uri]) {
                EXPECT_EQ(edit["newText"], c.name);
                found += (found.empty() ? "" : " ") + std::to_string(edit["range"]["start"]["line"].get<int>()) + ":" +
                         std::to_string(edit["range"]["start"]["character"].get<int>()) + "-" +
                         std::to_string(edit["range"]["end"]["character"].get<int>());
            }
        }
        EXPECT_EQ(found, c.edits) << c.name;
    }
    // a function of the header is renamed in the header too
    json params = at(main_uri, 7, 6);
    params["newName"] = "sq";
    json changes = session.result("textDocument/rename", params)["changes"];
    EXPECT_EQ(changes[header_uri].size(), 1u);
    EXPECT_EQ(changes[main_uri].size(), 1u);
}

TEST_F(LspFeatures, Hover) {
    struct Case {
        std::uint32_t line, character;
        std::string text;  // empty: none
    };
    const Case cases[] = {
        {6, 5, "```oxel\noxelfn area.w, h\n```\n\nthe area of a rectangle\nin square units\n"},
        {7, 6, "```oxel\noxelfn square.side\n```\n\nshapes: areas\n"},
        {9, 2, "`echo value`, `echo`: print a value, or an empty line"},
        {3, 3, "`oxelfn name.a, b`: define a function (`oxelfn name` without parameters)"},
        {1, 1, "`cmt text`: comment (also after a statement: `x5 cmt text`)"},
        // near misses: a variable, a number, past the end of the line
        {9, 5, ""},
        {6, 10, ""},
        {9, 40, ""},
    };
    for (const Case& c : cases) {
        json found = session.result("textDocument/hover", at(main_uri, c.line, c.character));
        EXPECT_EQ(found.is_null() ? "" : found["contents"]["value"].get<std::string>(), c.text)
            << c.line << ":" << c.character;
    }
}

TEST_F(LspFeatures, Completion) {
    const auto labels = [&](std::uint32_t line, std::uint32_t character) {
        std::map<std::string, json> found;
        for (const json& item : session.result("textDocument/completion", at(main_uri, line, character)))
            found[item["label"]] = item;
        return found;
    };
    auto in_area = labels(4, 4);
    for (std::string word : {"echo", "oxelfn", "lo", "fclose", "area", "square", "w", "h", "a"})
        EXPECT_TRUE(in_area.contains(word)) << word;
    EXPECT_EQ(in_area["area"]["detail"], "oxelfn area.w, h  (2 args)");
    EXPECT_EQ(in_area["square"]["detail"], "oxelfn square.side  (1 arg)");
    EXPECT_EQ(in_area["echo"]["kind"], 14);
    // near misses: the top level's variables are out of a function's reach,
    // and a function's out of the top level's
    EXPECT_FALSE(in_area.contains("count"));
    auto at_top = labels(9, 0);
    EXPECT_TRUE(at_top.contains("count"));
    EXPECT_FALSE(at_top.contains("w"));
    EXPECT_TRUE(at_top.contains("shapes.oxh"));  // may start an include line
    EXPECT_FALSE(labels(9, 5).contains("shapes.oxh"));
}

TEST_F(LspFeatures, DocumentSymbols) {
    json symbols = session.result("textDocument/documentSymbol", {{"textDocument", {{"uri", main_uri}}}});
    ASSERT_EQ(symbols.size(), 1u);  // square is the header's
    EXPECT_EQ(symbols[0]["name"], "area");
    EXPECT_EQ(symbols[0]["detail"], "w, h");
    EXPECT_EQ(symbols[0]["range"]["start"]["line"], 3);
    EXPECT_EQ(symbols[0]["range"]["end"], (json{{"line", 5}, {"character", 9}}));
    EXPECT_EQ(symbols[0]["children"][1]["name"], "h");
    json in_header = session.result("textDocument/documentSymbol", {{"textDocument", {{"uri", header_uri}}}});
    ASSERT_EQ(in_header.size(), 1u);
    EXPECT_EQ(in_header[0]["name"], "square");
}

TEST_F(LspFeatures, NamesOutliveAMistake) {
    // the last analysis that compiled answers while the text does not
    session.change(main_uri, main_text + "echo nowhere\n");
    json found = session.result("textDocument/definition", at(main_uri, 6, 5));
    ASSERT_FALSE(found.is_null());
    EXPECT_EQ(where(found), "main.ox 3:7-11");
}

TEST(LspNames, ATextThatNeverCompiledIsReadWithoutItsFailingLines) {
    Session session;
    session.initialize();
    session.open(main_uri, "oxelfn area.w, h\n    rtn nope\n(r. area 6, 7)\necho zz\nels\necho r\n");
    json found = session.result("textDocument/definition", at(main_uri, 2, 5));
    ASSERT_FALSE(found.is_null());
    EXPECT_EQ(where(found), "main.ox 0:7-11");
    EXPECT_EQ(where(session.result("textDocument/definition", at(main_uri, 5, 5))), "main.ox 2:1-2");
    // a header that cannot be opened: its include line left out
    session.change(main_uri, "missing.oxh\n(r. 1 + 2)\necho r\n");
    EXPECT_EQ(where(session.result("textDocument/definition", at(main_uri, 2, 5))), "main.ox 1:1-2");
    // near miss: a mistake inside a header leaves nothing to read
    Session other;
    other.initialize();
    other.open(header_uri, "oxelfn f.n\n    rtn k\n");
    other.open(main_uri, "shapes.oxh\n(r. 1 + 2)\necho r\n");
    EXPECT_TRUE(other.result("textDocument/definition", at(main_uri, 2, 5)).is_null());
}

TEST(LspEditing, Formatting) {
    Session session;
    session.initialize();
    struct Case {
        std::string text;
        std::string formatted;  // empty: no edit
    };
    const Case cases[] = {
        {"lo2\n  \techo 1\necho 2   \n", "lo2\n    echo 1\necho 2\n"},
        {"x5\r\n", ""},  // already in layout
        {"lo2\n  \techo nope\n", ""},  // does not compile
    };
    for (const Case& c : cases) {
        session.open(main_uri, c.text);
        json edits = session.result("textDocument/formatting", {{"textDocument", {{"uri", main_uri}}}, {"options", json::object()}});
        if (c.formatted.empty()) {
            EXPECT_EQ(edits, json::array()) << c.text;
            continue;
        }
        ASSERT_EQ(edits.size(), 1u);
        EXPECT_EQ(edits[0]["newText"], c.formatted);
        EXPECT_EQ(edits[0]["range"]["end"], (json{{"line", 3}, {"character", 0}}));
    }
}

TEST(LspEditing, CodeActions) {
    Workspace workspace;
    Document* document = workspace.open(main_uri, "lo2\n\t\techo 1\n  \techo 2\necho 3\nechi 4\n", 1);
    // a finding with a certain fix, as the checker gives them
    document->findings = {lint::Finding{lint::Severity::error, document->path, 5, 1, "", "Unknown statement", "echi 4", 4,
                                        "echo", "unknown_statement"},
                          lint::Finding{lint::Severity::warning, document->path, 4, 1, "x", "no fix", "echo 3", 4}};
    document->checked = true;
    const auto actions = [&](std::uint32_t first, std::uint32_t last) {
        json params = {{"textDocument", {{"uri", main_uri}}},
                       {"range", {{"start", {{"line", first}, {"character", 0}}}, {"end", {{"line", last}, {"character", 0}}}}},
                       {"context", {{"diagnostics", json::array()}}}};
        return code_action(workspace, params);
    };
    json fixes = actions(4, 4);
    ASSERT_EQ(fixes.size(), 1u);
    json edit = fixes[0]["edit"]["changes"][main_uri][0];
    EXPECT_EQ(edit["newText"], "echo");
    EXPECT_EQ(edit["range"]["end"], (json{{"line", 4}, {"character", 4}}));
    EXPECT_EQ(fixes[0]["diagnostics"][0]["code"], "unknown_statement");
    // tabs: four spaces each, blanks kept
    json tabs = actions(0, 3);
    ASSERT_EQ(tabs.size(), 1u);
    json edits = tabs[0]["edit"]["changes"][main_uri];
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0]["newText"], "        ");
    EXPECT_EQ(edits[0]["range"]["end"], (json{{"line", 1}, {"character", 2}}));
    EXPECT_EQ(edits[1]["newText"], "      ");
    // near misses: no fix, no tab
    EXPECT_EQ(actions(3, 3), json::array());
}

TEST(LspWordHelp, EveryLineIsTheGuidesAndEveryWordHasOne) {
    std::ifstream file(OXEL_SOURCE_ROOT "/docs/guide.md", std::ios::binary);
    std::stringstream guide;
    guide << file.rdbuf();
    std::set<std::string> lines;
    for (std::string line; std::getline(guide, line);)
        lines.insert(line);
    ASSERT_GT(lines.size(), 100u);
    for (const WordHelp& row : word_help)
        EXPECT_TRUE(lines.contains(std::string(row.guide_line))) << row.word;
    for (const StatementWord& row : statement_words)
        EXPECT_TRUE(help_for(row.word)) << row.word;
    EXPECT_FALSE(help_for("area"));
    EXPECT_TRUE(is_reserved_name("lox"));
    EXPECT_TRUE(is_reserved_name("cat"));
    EXPECT_FALSE(is_reserved_name("lx"));
    EXPECT_FALSE(is_reserved_name("echox"));  // `echo` is a word only when a blank follows
}

}  // namespace
}  // namespace oxel::lsp
