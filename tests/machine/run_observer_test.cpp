// The observed machine: what it reports of a run (statement starts, calls,
// returns, failures), the frames it shows at each report, and the slot
// names the compiler records for it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/debug_info_recorder.h"
#include "compiler/program_structure.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

// Writes each report as a word: "f:3" a statement of f at line 3, "+f" a
// call of f, "-f" its return, "!" a failure.
struct Trace : RunObserver {
    std::vector<std::string> events;
    static std::string name(const Machine& machine, std::uint32_t chunk) {
        const std::string_view n = machine.program.chunks[chunk].name;
        return n == top_chunk_name ? "top" : std::string(n);
    }
    void statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) override {
        events.push_back(name(machine, chunk) + ":" +
                         std::to_string(machine.debug.chunks[chunk].statements[statement].line));
    }
    void called(const Machine& machine, std::uint32_t chunk) override { events.push_back("+" + name(machine, chunk)); }
    void returned(const Machine& machine, std::uint32_t chunk) override {
        events.push_back("-" + name(machine, chunk));
    }
    void failed(const Machine&, const Failure&) override { events.push_back("!"); }
};

Machine observed_machine(const std::string& source) {
    DebugInfoRecorder recorder;
    Program program = compile_program(source, "t.ox", &recorder);
    return Machine(std::move(program), recorder.take());
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

TEST(RunObserver, ReportsStatementsCallsReturnsAndFailures) {
    struct Case {
        const char* name;
        const char* source;
        const char* trace;
    };
    const Case cases[] = {
        {"straight line", "(x. 1)\necho x\n", "+top top:1 top:2 -top"},
        // A loop's line starts on entry and at each pass of its close.
        {"counted loop", "lo2\n    (x. 1)\necho 0\n", "+top top:1 top:2 top:1 top:2 top:1 top:3 -top"},
        // The last statement of the body and the close are fused in a plain
        // run; observed, each is reported at every pass.
        {"stepping loop", "(x. 0)\nlo2\n    (x. x + 3)\n", "+top top:1 top:2 top:3 top:2 top:3 top:2 -top"},
        // The condition is part of the loop's line, on entry and after each close.
        {"while loop", "(j. 0)\nlo9 w j < 2\n    (j. j + 1)\n",
         "+top top:1 top:2 top:3 top:2 top:3 top:2 -top"},
        {"branch", "(x. 1)\nif x == 2\n    echo 1\nels\n    echo 2\n", "+top top:1 top:2 top:5 -top"},
        {"call and return", "oxelfn f.a\n    rtn a\n(y. f 4)\necho y\n", "+top top:3 +f f:2 -f top:4 -top"},
        {"running off a body", "oxelfn g.a\n    (b. a)\ng(1)\n", "+top top:3 +g g:2 -g -top"},
        {"failure in a callee", "oxelfn f.a\n    (b. a / 0)\n(y. f 4)\necho y\n", "+top top:3 +f f:2 !"},
        // A near miss: `rtn` at the top level ends the run like the end does.
        {"return at the top", "rtn 1\necho 2\n", "+top top:1 -top"},
    };
    for (const Case& c : cases) {
        Machine machine = observed_machine(c.source);
        Trace trace;
        test::in_memory({}, [&] { machine.run(trace); });
        EXPECT_EQ(joined(trace.events), c.trace) << c.name;
    }
}

// At a statement start the frames are whole: a debugger stopped there reads
// each frame's chunk, line and locals by name.
TEST(RunObserver, FramesAtAStatementShowLocalsAndCallers) {
    struct Stop : RunObserver {
        std::string seen;
        void statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) override {
            if (machine.debug.chunks[chunk].statements[statement].line != 3)
                return;
            for (std::uint64_t f = machine.frame_count; f-- > 0;) {
                const Frame& frame = machine.frames[f];
                const ChunkDebugInfo& info = machine.debug.chunks[machine.chunk_index(frame)];
                const StatementStart* at = machine.statement_of(frame);
                seen += std::string(frame.chunk->name) + "@" + (at ? std::to_string(at->line) : "?");
                for (std::size_t slot = 0; slot < info.slot_names.size(); ++slot)
                    if (!info.slot_names[slot].empty() && frame.slots[slot].is_int())
                        seen += " " + std::string(info.slot_names[slot]) + "=" +
                                std::to_string(frame.slots[slot].as_int());
                seen += "; ";
            }
        }
    } stop;
    Machine machine =
        observed_machine("oxelfn f.a, b\n    (c. a + b)\n    (d. c * 2)\n    rtn d\n(k. 5)\n(r. f k, 2)\n");
    test::in_memory({}, [&] { machine.run(stop); });
    // Slots not yet written hold 0 in a fresh machine, r and d among them.
    EXPECT_EQ(stop.seen, "f@3 a=5 b=2 c=7 d=0; __top@6 k=5 r=0; ");
}

TEST(RunObserver, SlotNamesFollowTheScope) {
    DebugInfoRecorder recorder;
    const Program program =
        compile_program("oxelfn f.p, q\n    lo2\n        (v. p)\n    rtn q\n(t. 1)\nin s\n", "t.ox", &recorder);
    const DebugInfo info = recorder.take();
    ASSERT_EQ(info.chunks.size(), program.chunks.size());
    const std::vector<std::string_view> f_slots{"p", "q", "", "v"};  // the loop's counter has no name
    EXPECT_EQ(info.chunks[0].slot_names, f_slots);
    EXPECT_EQ(info.chunks[0].line, 1u);
    const std::vector<std::string_view> top_slots{"t", "s"};
    EXPECT_EQ(info.chunks[1].slot_names, top_slots);
    EXPECT_EQ(info.chunks[1].line, 0u);
    EXPECT_EQ(info.chunks[1].file, "t.ox");
}

// Observing changes nothing the program does, failures included; a plain
// machine refuses an observer.
TEST(RunObserver, ObservedRunsLikeAPlainOne) {
    const char* sources[] = {
        "oxelfn f.n\n    if n < 1\n        rtn 0\n    (m. n - 1)\n    (r. f m)\n    (r. r + n)\n    rtn r\n"
        "(s. f 30)\necho s\n",
        "(i. 0)\nlo10 w i < 7\n    (i. i + 2)\n    echo i\n",
        "a(3)\nset a, 5, 1\n",
    };
    for (const char* source : sources) {
        Machine plain(compile_program(source, "t.ox"));
        const test::Outcome want = test::in_memory({}, [&] { plain.run(); });
        Machine observed = observed_machine(source);
        Trace trace;
        const test::Outcome got = test::in_memory({}, [&] { observed.run(trace); });
        EXPECT_EQ(got.out, want.out) << source;
        EXPECT_EQ(got.ending, want.ending) << source;
    }
    Machine plain(compile_program("echo 1\n", "t.ox"));
    Trace trace;
    EXPECT_THROW(plain.run(trace), std::logic_error);
}

}  // namespace
}  // namespace oxel
