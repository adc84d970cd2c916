// Whole debug adapter sessions, as an editor holds them: breakpoints in a
// function called from a loop, frames, locals, stepping in and out, the
// program's output and exit status; a stop on a run-time error; bad input.
#include "dbg/adapter_session.h"

namespace oxel::dbg {
namespace {

using json = nlohmann::json;

const std::string programs = OXEL_SOURCE_ROOT "/tests/dbg/programs/";
const std::string session_program = programs + "session.ox";
const std::string failing_program = programs + "fails.ox";

// initialize and launch; the adapter then asks for the configuration.
void launch(AdapterSession& s, const std::string& program, json more = json::object()) {
    ASSERT_EQ(s.ask("initialize", {{"adapterID", "oxel"}})["success"], true);
    more["program"] = program;
    ASSERT_EQ(s.ask("launch", more)["success"], true);
    s.event("initialized");
}

json frames(AdapterSession& s) { return s.ask("stackTrace", {{"threadId", 1}})["body"]["stackFrames"]; }

// The locals of a frame, as "name=value:type".
std::vector<std::string> locals(AdapterSession& s, int frame) {
    const json scopes = s.ask("scopes", {{"frameId", frame}})["body"]["scopes"];
    EXPECT_EQ(scopes[0]["name"], "Locals");
    const json variables = s.ask("variables", {{"variablesReference", scopes[0]["variablesReference"]}});
    std::vector<std::string> found;
    for (const json& v : variables["body"]["variables"])
        found.push_back(v["name"].get<std::string>() + "=" + v["value"].get<std::string>() + ":" +
                        v["type"].get<std::string>());
    return found;
}

TEST(Adapter, BreakInAFunctionCalledFromALoopThenStepAndRunToTheEnd) {
    AdapterSession s;
    launch(s, session_program);
    // Line 1 holds the definition, no statement: it moves to line 2. The
    // condition picks the third call.
    const json placed = s.ask("setBreakpoints", {{"source", {{"path", session_program}}},
                                                 {"breakpoints", {{{"line", 1}, {"condition", "n == 2"}}}}});
    ASSERT_EQ(placed["body"]["breakpoints"][0]["verified"], true);
    EXPECT_EQ(placed["body"]["breakpoints"][0]["line"], 2);
    s.ask("configurationDone");

    json stopped = s.event("stopped");
    EXPECT_EQ(stopped["body"]["reason"], "breakpoint");
    EXPECT_EQ(stopped["body"]["hitBreakpointIds"], json::array({placed["body"]["breakpoints"][0]["id"]}));
    json stack = frames(s);
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0]["name"], "sq");
    EXPECT_EQ(stack[0]["line"], 2);
    EXPECT_EQ(stack[0]["source"]["path"], session_program);
    EXPECT_EQ(stack[1]["name"], "__top");
    EXPECT_EQ(stack[1]["line"], 11);
    EXPECT_EQ(locals(s, 0), (std::vector<std::string>{"n=2:Int", "r=0:Int", "s=0:Int"}));
    // The caller's locals: two passes done, the string shown escaped.
    const std::vector<std::string> top = locals(s, 1);
    EXPECT_EQ(top[0], "total=1:Int");
    EXPECT_EQ(top[1], "i=2:Int");
    EXPECT_EQ(top[2], "word=\"a\\\"b\\tc\":String");
    EXPECT_EQ(top[3], "buf=Array(3):Array");
    EXPECT_EQ(s.ask("evaluate", {{"expression", "total"}, {"frameId", 1}})["body"]["result"], "1");

    // Step in: the next statement of sq.
    s.ask("stepIn", {{"threadId", 1}});
    EXPECT_EQ(s.event("stopped")["body"]["reason"], "step");
    EXPECT_EQ(frames(s)[0]["line"], 3);
    EXPECT_EQ(locals(s, 0)[1], "r=4:Int");
    s.ask("next", {{"threadId", 1}});
    s.event("stopped");
    EXPECT_EQ(frames(s)[0]["line"], 4);
    EXPECT_EQ(locals(s, 0)[2], "s=\"sq 4\":String");
    // Step out: back in the caller, at its next statement.
    s.ask("stepOut", {{"threadId", 1}});
    s.event("stopped");
    stack = frames(s);
    ASSERT_EQ(stack.size(), 1u);
    EXPECT_EQ(stack[0]["line"], 12);
    EXPECT_EQ(locals(s, 0)[4], "v=4:Int");

    EXPECT_EQ(s.ask("continue", {{"threadId", 1}})["success"], true);
    EXPECT_EQ(s.event("exited")["body"]["exitCode"], 0);
    s.event("terminated");
    EXPECT_EQ(s.output("stdout"), "0\n1\n4\n5\n");
    EXPECT_EQ(s.output("stderr"), "");
    EXPECT_EQ(s.ask("disconnect")["success"], true);
    EXPECT_TRUE(s.served());
}

TEST(Adapter, AnArrayExpandsToItsElements) {
    AdapterSession s;
    launch(s, session_program);
    s.ask("setBreakpoints", {{"source", {{"path", session_program}}}, {"breakpoints", {{{"line", 10}}}}});
    s.ask("configurationDone");
    s.event("stopped");
    const json scopes = s.ask("scopes", {{"frameId", 0}})["body"]["scopes"];
    const json vars = s.ask("variables", {{"variablesReference", scopes[0]["variablesReference"]}})["body"]["variables"];
    const json& buf = vars[3];
    ASSERT_EQ(buf["name"], "buf");
    EXPECT_EQ(buf["indexedVariables"], 3);
    const json elements = s.ask("variables", {{"variablesReference", buf["variablesReference"]}})["body"]["variables"];
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[1]["name"], "[1]");
    EXPECT_EQ(elements[1]["value"], "7");
    EXPECT_EQ(elements[2]["value"], "0");
}

TEST(Adapter, HitCountAndFunctionBreakpoints) {
    AdapterSession s;
    launch(s, session_program);
    s.ask("setFunctionBreakpoints", {{"breakpoints", {{{"name", "sq"}}}}});
    // Hit count 3: the third pass of the loop's echo, after the function's stops.
    s.ask("setBreakpoints", {{"source", {{"path", session_program}}}, {"breakpoints", {{{"line", 13}, {"hitCondition", "3"}}}}});
    s.ask("configurationDone");
    EXPECT_EQ(s.event("stopped")["body"]["reason"], "function breakpoint");
    EXPECT_EQ(frames(s)[0]["line"], 2);
    EXPECT_EQ(locals(s, 0)[0], "n=0:Int");
    s.ask("setFunctionBreakpoints", {{"breakpoints", json::array()}});
    s.ask("continue", {{"threadId", 1}});
    EXPECT_EQ(s.event("stopped")["body"]["reason"], "breakpoint");
    EXPECT_EQ(locals(s, 0)[1], "i=2:Int");
    EXPECT_EQ(s.output("stdout"), "0\n1\n");
}

TEST(Adapter, StopsOnARunTimeErrorBeforeItsReport) {
    AdapterSession s;
    launch(s, failing_program);
    s.ask("setExceptionBreakpoints", {{"filters", {"error"}}});
    s.ask("configurationDone");
    const json stopped = s.event("stopped");
    EXPECT_EQ(stopped["body"]["reason"], "exception");
    EXPECT_EQ(stopped["body"]["text"], "Division by zero");
    const json stack = frames(s);
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0]["name"], "ratio");
    EXPECT_EQ(stack[0]["line"], 2);
    EXPECT_EQ(stack[1]["line"], 7);
    EXPECT_EQ(locals(s, 0), (std::vector<std::string>{"a=1:Int", "b=0:Int", "q=0:Int"}));
    EXPECT_EQ(s.output("stderr"), "");  // not yet reported
    s.ask("continue", {{"threadId", 1}});
    EXPECT_EQ(s.event("exited")["body"]["exitCode"], 1);
    EXPECT_EQ(s.output("stdout"), "before\n2\n");
    EXPECT_EQ(s.output("stderr"), "[Oxel Runtime Error]: Division by zero at line 2 (" + failing_program +
                                      ")\n[Oxel Execution Terminated]\n");
}

TEST(Adapter, WithoutTheFilterAnErrorEndsTheRunAsUnderOxelc) {
    AdapterSession s;
    launch(s, failing_program);
    s.ask("configurationDone");
    EXPECT_EQ(s.event("exited")["body"]["exitCode"], 1);
    EXPECT_NE(s.output("stderr").find("Division by zero"), std::string::npos);
}

TEST(Adapter, PauseStopsARunningProgram) {
    AdapterSession s;
    launch(s, programs + "forever.ox");
    s.ask("configurationDone");
    EXPECT_EQ(s.ask("pause", {{"threadId", 1}})["success"], true);
    EXPECT_EQ(s.event("stopped")["body"]["reason"], "pause");
    EXPECT_EQ(frames(s)[0]["name"], "__top");
    EXPECT_EQ(s.ask("terminate")["success"], true);
    s.event("terminated");
}

// A running program with nothing to stop it skips the debugger's lock;
// a breakpoint of either kind set once it runs (it has written "go") still
// stops it, and so does a pause after that.
TEST(Adapter, BreakpointsSetWhileRunningStopIt) {
    const std::string program = programs + "calls_forever.ox";
    const json line = {{"source", {{"path", program}}}, {"breakpoints", {{{"line", 7}}}}};
    const json function = {{"breakpoints", {{{"name", "next"}}}}};
    for (const auto& [command, arguments] : {std::pair{"setBreakpoints", line}, {"setFunctionBreakpoints", function}}) {
        AdapterSession s;
        launch(s, program);
        s.ask("configurationDone");
        EXPECT_EQ(s.event("output")["body"]["output"], "go\n");
        s.ask(command, arguments);
        const json stopped = s.event("stopped");
        EXPECT_EQ(stopped["body"]["reason"], command == std::string("setBreakpoints") ? "breakpoint" : "function breakpoint");
        EXPECT_EQ(frames(s)[0]["line"], command == std::string("setBreakpoints") ? 7 : 3) << command;
        s.ask(command, {{"source", {{"path", program}}}, {"breakpoints", json::array()}});
        s.ask("continue", {{"threadId", 1}});
        EXPECT_EQ(s.ask("pause", {{"threadId", 1}})["success"], true);
        EXPECT_EQ(s.event("stopped")["body"]["reason"], "pause");
        EXPECT_EQ(s.ask("terminate")["success"], true);
        s.event("terminated");
    }
}

TEST(Adapter, BadInputGetsAnErrorResponseAndTheSessionGoesOn) {
    AdapterSession s;
    // Before initialize, and a request out of order.
    EXPECT_EQ(s.ask("stackTrace")["message"], "initialize first");
    ASSERT_EQ(s.ask("initialize")["success"], true);
    struct Case {
        std::string bytes;
        int request_seq;
        const char* message;
    };
    const Case cases[] = {
        {"Content-Length: x\r\n\r\n", 0, "malformed message: bad Content-Length"},
        {"Content-Length: 3\r\n\r\n{{{", 0, "malformed message: not a JSON object"},
        {"Content-Length: 2\r\n\r\n[]", 0, "malformed message: not a JSON object"},
        {protocol::frame_header(R"({"seq":5,"type":"event"})") + R"({"seq":5,"type":"event"})", 5, "not a request"},
        {protocol::frame_header(R"({"seq":6,"type":"request"})") + R"({"seq":6,"type":"request"})", 6, "not a request"},
    };
    for (const Case& c : cases) {
        s.write(c.bytes);
        const json answer = s.response(c.request_seq);
        EXPECT_EQ(answer["success"], false) << c.bytes;
        EXPECT_EQ(answer["message"], c.message) << c.bytes;
    }
    EXPECT_EQ(s.ask("frobnicate")["message"], "unknown command 'frobnicate'");
    EXPECT_EQ(s.ask("initialize")["message"], "already initialized");
    EXPECT_EQ(s.ask("setBreakpoints", {{"source", {{"path", session_program}}}})["message"], "launch first");
    EXPECT_EQ(s.ask("launch", json::object())["message"], "missing argument 'program'");
    EXPECT_EQ(s.ask("launch", {{"program", 7}})["message"], "argument 'program' has the wrong type");
    ASSERT_EQ(s.ask("launch", {{"program", session_program}})["success"], true);
    EXPECT_EQ(s.ask("launch", {{"program", session_program}})["message"], "already launched");
    EXPECT_EQ(s.ask("variables", {{"variablesReference", 1}})["message"], "the program is not stopped");
    EXPECT_EQ(s.ask("setExceptionBreakpoints", {{"filters", {"all"}}})["success"], false);

    // A line past the last statement cannot be placed; a bad condition is refused.
    const json placed = s.ask("setBreakpoints", {{"source", {{"path", session_program}}},
                                                 {"breakpoints",
                                                  {{{"line", 40}},
                                                   {{"line", 15}},
                                                   {{"line", 2}, {"condition", "n < 2"}},
                                                   {{"line", 2}, {"hitCondition", "many"}}}}})["body"]["breakpoints"];
    EXPECT_EQ(placed[0]["verified"], false);
    EXPECT_EQ(placed[0]["message"], "no statement at or after line 40");
    EXPECT_EQ(placed[1]["verified"], true);  // the last statement line
    EXPECT_EQ(placed[2]["verified"], false);
    EXPECT_EQ(placed[3]["verified"], false);
    const json other = s.ask("setBreakpoints", {{"source", {{"path", failing_program}}}, {"breakpoints", {{{"line", 2}}}}});
    EXPECT_EQ(other["body"]["breakpoints"][0]["message"], "not a file of this program");
    EXPECT_EQ(s.ask("setFunctionBreakpoints", {{"breakpoints", {{{"name", "nope"}}, {{"name", "sq"}}}}})["body"],
              json::parse(R"({"breakpoints":[{"id":4,"verified":false,"message":"no function 'nope'"},{"id":5,"verified":true}]})"));
    // The refused ones are not set: the run stops first at line 15.
    s.ask("setFunctionBreakpoints", {{"breakpoints", json::array()}});
    s.ask("configurationDone");
    EXPECT_EQ(s.event("stopped")["body"]["hitBreakpointIds"], json::array({placed[1]["id"]}));
    EXPECT_EQ(s.ask("configurationDone")["message"], "configuration already done");
}

}  // namespace
}  // namespace oxel::dbg
