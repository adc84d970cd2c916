// oxel-prof run in-process, its files in memory: exact statement counts and
// calls in its JSON, the run itself left as oxelc would leave it, and the
// folded stacks and table it writes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <map>
#include <string>
#include <vector>

#include "compiler/debug_info_recorder.h"
#include "compiler/program_structure.h"
#include "driver/driver.h"
#include "in_memory_run.h"
#include "prof/command_line.h"
#include "prof/profiler.h"
#include "prof/summary.h"

namespace oxel {
namespace {

test::Case program(std::string main, std::map<std::string, std::string> files = {}) {
    test::Case c;
    c.main = std::move(main);
    c.files = std::move(files);
    return c;
}

test::Outcome profile(test::Case c, const std::vector<std::string_view>& options = {"--json", "p.json"}) {
    c.files[c.main_path] = c.main;
    std::vector<std::string_view> arguments = options;
    arguments.push_back(c.main_path);
    int status = -1;
    test::Outcome outcome = test::in_memory(c, [&] { status = prof::run_command_line(arguments); });
    outcome.ending = std::to_string(status);
    return outcome;
}

test::Outcome plain_run(test::Case c) {
    c.files[c.main_path] = c.main;
    const std::string_view arguments[] = {c.main_path};
    int status = -1;
    test::Outcome outcome = test::in_memory(c, [&] { status = run_command_line(arguments); });
    outcome.ending = std::to_string(status);
    return outcome;
}

// "file:line=count" for each line, then "name:calls" for each function.
std::string counts(const std::string& json_text) {
    const nlohmann::json json = nlohmann::json::parse(json_text);
    std::string text;
    for (const auto& line : json["lines"])
        text += line["file"].get<std::string>() + ":" + std::to_string(line["line"].get<int>()) + "=" +
                std::to_string(line["count"].get<std::uint64_t>()) + " ";
    for (const auto& function : json["functions"])
        text += function["name"].get<std::string>() + ":" + std::to_string(function["calls"].get<std::uint64_t>()) +
                " ";
    return text;
}

TEST(Profiler, CountsEveryStatementStartExactly) {
    struct Case {
        const char* name;
        test::Case run;
        const char* counts;
    };
    const Case cases[] = {
        {"loops",
         program("(s. 0)\nlo4\n    (s. s + 2)\n(j. 0)\nlo9 w j < 3\n    (j. j + 1)\necho s\n"),
         "main.ox:1=1 main.ox:2=5 main.ox:3=4 main.ox:4=1 main.ox:5=4 main.ox:6=3 main.ox:7=1 __top:1 "},
        // The branch not taken is not listed: a near miss of every line.
        {"branches",
         program("(x. 3)\nif x > 2\n    echo 1\nels\n    echo 2\n"),
         "main.ox:1=1 main.ox:2=1 main.ox:3=1 __top:1 "},
        {"recursion",
         program("oxelfn f.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (r. f m)\n    rtn r\n(t. f 3)\n"),
         "main.ox:2=4 main.ox:3=1 main.ox:4=3 main.ox:5=3 main.ox:6=3 main.ox:7=1 f:4 __top:1 "},
        {"headers",
         program("lib/h.oxh\n(a. twice 2)\n(b. twice a)\necho b\n",
                 {{"lib/h.oxh", "oxelfn twice.x\n    (y. x + x)\n    rtn y\n"}}),
         "main.ox:2=1 main.ox:3=1 main.ox:4=1 lib/h.oxh:2=2 lib/h.oxh:3=2 twice:2 __top:1 "},
        // Counted up to the failure; the failing statement started.
        {"failure at run time",
         program("oxelfn f.n\n    (q. 10 / n)\n    rtn q\n(i. 2)\nlo5\n    (i. i - 1)\n    (r. f i)\necho r\n"),
         "main.ox:2=2 main.ox:3=1 main.ox:4=1 main.ox:5=2 main.ox:6=2 main.ox:7=2 f:2 __top:1 "},
    };
    for (const Case& c : cases) {
        const test::Outcome got = profile(c.run);
        ASSERT_EQ(got.files.count("p.json"), 1u) << c.name;
        EXPECT_EQ(counts(got.files.at("p.json")), c.counts) << c.name;
        // The run is oxelc's: output, errors and status; the table goes to
        // standard error after them.
        const test::Outcome want = plain_run(c.run);
        EXPECT_EQ(got.out, want.out) << c.name;
        EXPECT_EQ(got.ending, want.ending) << c.name;
        EXPECT_TRUE(got.err.starts_with(want.err + "oxel-prof: ")) << c.name << "\n" << got.err;
    }
}

TEST(Profiler, WritesTheRequestedReportsOnly) {
    const test::Case run = program("oxelfn f.n\n    rtn n\n(a. f 1)\necho a\n");
    const test::Outcome got = profile(run, {"--report", "r.txt", "--folded", "f.txt"});
    EXPECT_EQ(got.err, "");  // the table went to its file
    EXPECT_EQ(got.files.count("p.json"), 0u);
    EXPECT_TRUE(got.files.at("r.txt").starts_with("oxel-prof: 3 statements run")) << got.files.at("r.txt");
    EXPECT_NE(got.files.at("r.txt").find("Hottest functions"), std::string::npos);
    // Every folded line is "stack samples", the top level first.
    const std::string folded = got.files.at("f.txt");
    for (std::size_t at = 0; at < folded.size();) {
        const std::size_t end = folded.find('\n', at);
        const std::string line = folded.substr(at, end - at);
        EXPECT_TRUE(line.starts_with("__top")) << line;
        EXPECT_NE(line.find(' '), std::string::npos) << line;
        at = end + 1;
    }
}

TEST(Profiler, RefusesBadCommandLines) {
    struct Case {
        std::vector<std::string_view> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"main.ox", "--json"}, "oxel-prof: '--json' needs a file\n"},
        {{"--frobnicate", "main.ox"}, "oxel-prof: unknown option '--frobnicate'\n"},
        {{"--json", "no/such/folder/p.json", "main.ox"}, "oxel-prof: cannot create 'no/such/folder/p.json'\n"},
        {{"main.ox", "other.ox"}, "oxel-prof: one program at a time\n"},
        {{"--json", "p.json"}, "oxel-prof: no program\n"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string_view>& arguments = c.arguments;
        int status = -1;
        // A program that would write a file: refused before it runs.
        test::Case run = program("fopen h, \"made.txt\", \"w\"\n");
        run.files["main.ox"] = run.main;
        const test::Outcome got = test::in_memory(run, [&] { status = prof::run_command_line(arguments); });
        EXPECT_EQ(status, 2);
        EXPECT_TRUE(got.err.starts_with(c.message)) << got.err;
        EXPECT_EQ(got.files.count("made.txt"), 0u);
    }
    // The near miss: the same program, well asked, runs.
    const test::Outcome ran = profile(program("fopen h, \"made.txt\", \"w\"\n"));
    EXPECT_EQ(ran.ending, "0");
    EXPECT_EQ(ran.files.count("made.txt"), 1u);
}

// Time charged as if one sample fell due at every statement start: each
// line's self time is then its count, a function's self time the statements
// it ran, its total those of its calls too, counted once however deep the
// recursion.
TEST(Profiler, ChargesSamplesToTheRunningFrames) {
    struct OnePerStatement : RunObserver {
        prof::Profiler& profiler;
        explicit OnePerStatement(prof::Profiler& p) : profiler(p) {}
        void statement(const Machine& m, std::uint32_t chunk, std::uint32_t statement) override {
            profiler.statement(m, chunk, statement);
            profiler.sample(1);
        }
        void called(const Machine& m, std::uint32_t chunk) override { profiler.called(m, chunk); }
        void returned(const Machine& m, std::uint32_t chunk) override { profiler.returned(m, chunk); }
    };
    DebugInfoRecorder recorder;
    Program program = compile_program(
        "oxelfn down.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (r. down m)\n    rtn r\n"
        "oxelfn leaf.n\n    rtn n\n(a. down 2)\n(b. leaf 1)\n",
        "t.ox", &recorder);
    Machine machine(std::move(program), recorder.take());
    prof::Profiler profiler(machine, false);
    OnePerStatement observer(profiler);
    test::in_memory({}, [&] { machine.run(observer); });
    const prof::Summary summary = prof::summarize(machine, profiler.profile());
    for (const prof::LineRow& row : summary.lines)
        EXPECT_EQ(row.samples, row.count) << row.line;
    std::string functions;
    for (const prof::FunctionRow& row : summary.functions)
        functions += std::string(row.name) + " " + std::to_string(row.self_samples) + "/" +
                     std::to_string(row.total_samples) + "; ";
    // down runs 3 ifs, 2 steps, 2 calls, 3 returns: 10 statements; the top 2.
    EXPECT_EQ(functions, "down 10/10; leaf 1/1; __top 2/13; ");
    EXPECT_EQ(prof::format_folded(summary), "__top 2\n__top;down 4\n__top;down;down 4\n__top;down;down;down 2\n__top;leaf 1\n");
}

}  // namespace
}  // namespace oxel
