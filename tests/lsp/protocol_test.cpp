// Whole message sequences against the server, in memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "lsp/requests.h"
#include "lsp/uri.h"
#include "session.h"

namespace oxel::lsp {
namespace {

using testing::at;
using testing::framed;
using testing::Session;

const std::string main_uri = "file:///nowhere-lsp-test/main.ox";
const std::string header_uri = "file:///nowhere-lsp-test/twice.oxh";

// The error code of the last reply, 0 for a result, -1 for no reply at all.
int code_of(const std::vector<json>& replies) {
    if (replies.empty())
        return -1;
    const json& reply = replies.back();
    return reply.contains("error") ? reply["error"]["code"].get<int>() : 0;
}

TEST(LspProtocol, LifecycleAndBadInput) {
    struct Case {
        std::string_view what;
        bool initialized;
        bool shut_down;
        std::string bytes;
        int code;  // of the reply; -1: none
    };
    const auto request = [](std::string_view method, json params = json::object()) {
        return framed(json{{"jsonrpc", "2.0"}, {"id", 7}, {"method", method}, {"params", params}}.dump());
    };
    const auto notification = [](std::string_view method) {
        return framed(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", json::object()}}.dump());
    };
    const Case cases[] = {
        {"before initialize", false, false, request("textDocument/hover"), server_not_initialized},
        {"notification before initialize", false, false, notification("textDocument/didSave"), -1},
        {"initialize", false, false, request("initialize"), 0},
        {"initialize twice", true, false, request("initialize"), invalid_request},
        {"unknown request", true, false, request("textDocument/inlayHint"), method_not_found},
        {"unknown notification", true, false, notification("workspace/didChangeConfiguration"), -1},
        {"$/ notification", true, false, notification("$/cancelRequest"), -1},
        {"after shutdown", true, true, request("textDocument/hover"), invalid_request},
        {"shutdown twice", true, true, request("shutdown"), invalid_request},
        {"not JSON", true, false, framed("{\"jsonrpc\": "), parse_error},
        {"not UTF-8", true, false, framed("{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"\xFF\"}"), parse_error},
        {"lone surrogate", true, false, framed(R"({"jsonrpc":"2.0","id":1,"method":"\ud800"})"), parse_error},
        {"bad header", true, false, "Content-Length: zz\r\n\r\n", parse_error},
        {"binary header", true, false, std::string("\x00\x01\xFE\r\n\r\n", 7), parse_error},
        {"array", true, false, framed("[1, 2]"), invalid_request},
        {"number", true, false, framed("42"), invalid_request},
        {"id of an object", true, false, framed(R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})"), invalid_request},
        {"a response from the client", true, false, framed(R"({"jsonrpc":"2.0","id":3,"result":null})"), -1},
        {"params of the wrong shape", true, false, request("textDocument/hover", {{"position", "x"}}),
         invalid_params},
        {"position of the wrong type", true, false,
         request("textDocument/definition", {{"textDocument", {{"uri", 5}}}, {"position", json::array()}}),
         invalid_params},
        {"document not open", true, false, request("textDocument/formatting", {{"textDocument", {{"uri", "file:///x.ox"}}}}),
         invalid_params},
        {"change of a range", true, false,
         framed(json{{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"},
                     {"params", {{"textDocument", {{"uri", main_uri}}},
                                 {"contentChanges", {{{"range", json::object()}, {"text", "x"}}}}}}}
                    .dump()),
         -1},
    };
    for (const Case& c : cases) {
        Session session;
        if (c.initialized)
            session.initialize();
        if (c.shut_down)
            session.request("shutdown", nullptr);
        std::vector<json> replies = session.send_bytes(c.bytes);
        EXPECT_EQ(code_of(replies), c.code) << c.what;
        if (c.code != -1 && c.code != 0 && !replies.empty()) {
            const json& id = replies.back()["id"];
            EXPECT_TRUE(id.is_null() || id == 7) << c.what;
        }
        EXPECT_FALSE(session.server.exited()) << c.what;
    }
}

TEST(LspProtocol, ExitStatus) {
    struct Case {
        std::string bytes;
        int status;
    };
    const std::string initialize = framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
    const std::string shutdown = framed(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
    const std::string exit = framed(R"({"jsonrpc":"2.0","method":"exit"})");
    const Case cases[] = {
        {initialize + shutdown + exit, 0},
        {initialize + exit, 1},
        {exit, 1},
        {initialize + shutdown, 0},  // end of input after shutdown
        {initialize, 1},             // end of input
        // nothing after exit is read
        {initialize + shutdown + exit + framed(R"({"jsonrpc":"2.0","id":3,"method":"initialize"})"), 0},
    };
    for (const Case& c : cases) {
        std::string out;
        StringSource source(c.bytes);
        int status = serve(source, [&](std::string_view header, std::string_view body) {
            out += header;
            out += body;
        });
        EXPECT_EQ(status, c.status) << c.bytes;
        for (const json& message : testing::messages_in(out))
            EXPECT_NE(message.value("id", 0), 3);
    }
}

TEST(LspProtocol, EncodingIsNegotiated) {
    // the undefined name after an é, a € and an emoji: 9, 2, 3, 4 and 3
    // bytes, or 9, 1, 1, 2 and 3 UTF-16 units
    const std::string text = "(s. cat \"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\", zz)\n";
    struct Case {
        bool utf8;
        std::string encoding;
        int start;
    };
    for (const Case& c : {Case{false, "utf-16", 16}, Case{true, "utf-8", 21}}) {
        Session session;
        json reply = session.initialize(c.utf8);
        EXPECT_EQ(reply["result"]["capabilities"]["positionEncoding"], c.encoding);
        json diagnostics = session.open(main_uri, text);
        ASSERT_EQ(diagnostics.size(), 1u) << diagnostics;
        EXPECT_EQ(diagnostics[0]["range"]["start"], (json{{"line", 0}, {"character", c.start}}));
        EXPECT_EQ(diagnostics[0]["range"]["end"], (json{{"line", 0}, {"character", c.start + 2}}));
        EXPECT_EQ(diagnostics[0]["code"], "undefined_variable");
    }
}

TEST(LspProtocol, DiagnosticsFollowTheUnsavedText) {
    Session session;
    session.initialize();
    struct Case {
        std::string text;
        std::string diagnostics;  // "line:character-character severity code", one per finding
    };
    const Case cases[] = {
        {"echo 1\necho nope\n", "1:5-9 1 undefined_variable"},
        {"x5\n(y. x + 1)\n", "1:1-3 2 unused-variable"},
        {"echo 1\nels\n", "1:0-3 1 else_without_if"},
        {"echo 1\n  echo 2\n", "1:2-6 2 indent-unit"},
        // near misses
        {"x5\n(y. x + 1)\necho y\n", ""},
        {"", ""},
        // control bytes in the text: checked, not fatal
        {"echo \"\x01\x7F\"\n", ""},
        {std::string("echo 1\n\x00\n", 9), "1:0-1 1 unknown_statement"},
    };
    for (const Case& c : cases) {
        json diagnostics = session.change(main_uri, c.text);
        if (diagnostics.is_null())
            diagnostics = session.open(main_uri, c.text);
        std::string found;
        for (const json& d : diagnostics) {
            found += (found.empty() ? "" : ", ") + std::to_string(d["range"]["start"]["line"].get<int>()) + ":" +
                     std::to_string(d["range"]["start"]["character"].get<int>()) + "-" +
                     std::to_string(d["range"]["end"]["character"].get<int>()) + " " +
                     std::to_string(d["severity"].get<int>()) + " " + d.value("code", "");
            EXPECT_EQ(d["source"], "oxel-lint");
        }
        EXPECT_EQ(found, c.diagnostics) << c.text;
    }
}

TEST(LspProtocol, OpenHeadersAreReadFromTheEditor) {
    Session session;
    session.initialize();
    // the header exists only in the editor
    EXPECT_EQ(session.open(header_uri, "oxelfn twice.n\n    (m. n * 2)\n    rtn m\n"), json::array());
    EXPECT_EQ(session.open(main_uri, "twice.oxh\n(r. twice 4)\necho r\n"), json::array());
    // a mistake in the header: the header's diagnostic, none on the main file
    std::vector<json> published = session.notify(
        "textDocument/didChange", {{"textDocument", {{"uri", header_uri}, {"version", 2}}},
                                   {"contentChanges", {{{"text", "oxelfn twice.n\n    (m. k * 2)\n    rtn m\n"}}}}});
    json in_header = Session::diagnostics_for(header_uri, published);
    ASSERT_EQ(in_header.size(), 1u) << in_header;
    EXPECT_EQ(in_header[0]["range"]["start"], (json{{"line", 1}, {"character", 8}}));
    EXPECT_EQ(Session::diagnostics_for(main_uri, published), json::array());
    // closed, it is read from the disk, where it is not: the include line
    published = session.notify("textDocument/didClose", {{"textDocument", {{"uri", header_uri}}}});
    EXPECT_EQ(Session::diagnostics_for(header_uri, published), json::array());
    json in_main = Session::diagnostics_for(main_uri, published);
    ASSERT_EQ(in_main.size(), 1u) << in_main;
    EXPECT_EQ(in_main[0]["code"], "cannot_open_header");
    EXPECT_EQ(in_main[0]["range"]["start"]["line"], 0);
}

TEST(LspProtocol, AMistakeInAHeaderNotOpenStandsOnItsIncludeLine) {
    const std::string dir = ::testing::TempDir() + "oxel_lsp_header_on_disk/";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "bad.oxh", std::ios::binary) << "oxelfn f.n\n    rtn k\n";
    std::ofstream(dir + "good.oxh", std::ios::binary) << "oxelfn g.n\n    rtn n\n";
    Session session;
    session.initialize();
    const std::string uri = uri_from_path(dir + "main.ox");
    json diagnostics = session.open(uri, "cmt first\ngood.oxh\n  bad.oxh\n(r. f 1)\necho r\n");
    // the failure, then the checker's word on the include line's indentation
    ASSERT_EQ(diagnostics.size(), 2u) << diagnostics;
    EXPECT_EQ(diagnostics[1]["code"], "indent-unit");
    EXPECT_EQ(diagnostics[0]["range"]["start"], (json{{"line", 2}, {"character", 2}}));
    EXPECT_EQ(diagnostics[0]["range"]["end"], (json{{"line", 2}, {"character", 9}}));
    // the header's path as the include resolved it (its separators are the system's)
    EXPECT_TRUE(diagnostics[0]["message"].get<std::string>().ends_with("oxel_lsp_header_on_disk/bad.oxh:2: Undefined variable 'k'"))
        << diagnostics[0]["message"];
    EXPECT_EQ(diagnostics[0]["code"], "undefined_variable");
    // the folder's headers are offered where an include line may start
    std::set<std::string> offered;
    for (const json& item : session.result("textDocument/completion", at(uri, 4, 0)))
        offered.insert(item["label"].get<std::string>());
    EXPECT_TRUE(offered.contains("good.oxh") && offered.contains("bad.oxh"));
    // bytes that are not UTF-8, quoted in the message, are replaced
    std::ofstream(dir + "bad.oxh", std::ios::binary) << "oxelfn f.n\n    rtn \xFFk\n";
    diagnostics = session.change(uri, "cmt first\ngood.oxh\n  bad.oxh\n(r. f 1)\necho r\n");
    ASSERT_EQ(diagnostics.size(), 2u) << diagnostics;
    EXPECT_NE(diagnostics[0]["message"].get<std::string>().find("\xEF\xBF\xBD"), std::string::npos);
    // near miss: the same header open in the editor takes the finding itself
    session.open(uri_from_path(dir + "bad.oxh"), "oxelfn f.n\n    rtn k\n");
    EXPECT_EQ(session.change(uri, "good.oxh\nbad.oxh\n(r. f 1)\necho r\n"), json::array());
    std::filesystem::remove_all(dir);
}

TEST(LspProtocol, LargeDocuments) {
    Session session;
    session.initialize();
    // ten megabytes: checked (it holds too many lines) without harm
    std::string text;
    while (text.size() < 10'000'000)
        text += "echo 12345678901234567890\n";
    json diagnostics = session.open(main_uri, text);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["code"], "include_loop");
    // past the limit a program may have: refused with a diagnostic
    text.append(500'000, '\n');
    diagnostics = session.change(main_uri, text);
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_NE(diagnostics[0]["message"].get<std::string>().find("Too large"), std::string::npos);
    EXPECT_EQ(session.result("textDocument/formatting", {{"textDocument", {{"uri", main_uri}}}}), json::array());
}

}  // namespace
}  // namespace oxel::lsp
