// Programs run in memory (console and files in a MemoryBackend) with and
// without the fused forms, as the run fuzzer does: every golden program must
// agree both ways and with its sidecars, and the step and allocation
// budgets must end runs that would not end or would take all memory, the
// same way fused or not.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fuzz_case.h"

namespace oxel::fuzz {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Both {
    Outcome fused;
    Outcome plain;
};

Both run_both(const Case& c, RunLimits limits) {
    std::string report;
    const std::optional<Program> program = compile_case(c, &report);
    EXPECT_TRUE(program.has_value()) << report;
    if (!program)
        return {};
    return {run_case(*program, c, true, limits), run_case(*program, c, false, limits)};
}

TEST(InMemoryRun, GoldenProgramsAgreeFusedOrNotAndWithTheirSidecars) {
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(OXEL_GOLDEN_PROGRAMS)) {
        const fs::path& program = entry.path();
        if (program.extension() != ".ox")
            continue;
        fs::path base = program;
        base.replace_extension();
        const auto sidecar = [&](const char* extension) { return fs::path(base.string() + extension); };
        Case c;
        c.main_path = program.filename().string();
        c.main = contents(program);
        if (fs::exists(sidecar(".in")))
            c.input = contents(sidecar(".in"));
        if (fs::is_directory(sidecar(".files"))) {
            for (const auto& file : fs::recursive_directory_iterator(sidecar(".files"))) {
                if (file.is_regular_file())
                    c.files[fs::relative(file.path(), sidecar(".files")).generic_string()] =
                        contents(file.path());
            }
        }
        // Arguments other than the program's name (listings, the command
        // line) and an environment of its own (what the driver adds to a
        // report) are the process tests' business; these still run both ways.
        const bool plain_run = !fs::exists(sidecar(".args")) && !fs::exists(sidecar(".env"));
        std::string report;
        const std::optional<Program> compiled = compile_case(c, &report);
        if (!compiled) {
            if (plain_run) {
                EXPECT_EQ(report, contents(sidecar(".err"))) << program;
            }
            continue;
        }
        const RunLimits limits{std::uint64_t{1} << 40, std::size_t{1} << 30};
        const Outcome fused = run_case(*compiled, c, true, limits);
        const Outcome plain = run_case(*compiled, c, false, limits);
        EXPECT_EQ(describe_difference(fused, plain), "") << program;
        if (plain_run) {
            const std::string expected_err = fs::exists(sidecar(".err")) ? contents(sidecar(".err")) : "";
            EXPECT_EQ(fused.out, fs::exists(sidecar(".out")) ? contents(sidecar(".out")) : "") << program;
            EXPECT_EQ(fused.ending == "end" ? "" : fused.ending, expected_err) << program;
        }
        ++checked;
    }
    EXPECT_GT(checked, 50);
}

TEST(InMemoryRun, StepBudgetEndsEndlessLoopsAndCallTreesAtTheSamePointEitherWay) {
    Case loop;
    loop.main = "lo9223372036854775807\n    echo 1\n";
    Both loops = run_both(loop, {100, 0});
    EXPECT_EQ(loops.fused.ending, "steps");
    EXPECT_EQ(describe_difference(loops.fused, loops.plain), "");
    // 100 jumps back: the body ran 101 times.
    EXPECT_EQ(std::count(loops.fused.out.begin(), loops.fused.out.end(), '\n'), 101);

    Case tree;  // 2^60 calls
    tree.main =
        "oxelfn f.n\n    if n > 0\n        (m. n - 1)\n        (a. f m)\n        (b. f m)\n    rtn 0\n(r. f "
        "60)\n";
    Both trees = run_both(tree, {1000, 0});
    EXPECT_EQ(trees.fused.ending, "steps");
    EXPECT_EQ(describe_difference(trees.fused, trees.plain), "");
}

TEST(InMemoryRun, AllocationBudgetEndsTheRunAsExhaustedMemoryDoes) {
    Case arrays;
    arrays.main = "a(1000000)\necho 1\nb(1000000)\necho 1\nc(1000000)\necho 1\n";
    Both run = run_both(arrays, {0, 20'000'000});  // two arrays of 8 MB fit, not three
    EXPECT_EQ(run.fused.ending, "OutOfMemory");
    EXPECT_EQ(run.fused.out, "1\n1\n");
    EXPECT_EQ(describe_difference(run.fused, run.plain), "");

    // The budget bounds what is held at once: arrays no longer reachable
    // are given back.
    Case garbage;
    garbage.main = "lo30\n    a(1000000)\n(v. get a, 0)\necho v\n";
    Both freed = run_both(garbage, {0, 20'000'000});
    EXPECT_EQ(freed.fused.ending, "end");
    EXPECT_EQ(freed.fused.out, "0\n");

    Case strings;
    strings.main = "(s. \"ab\")\nlo100\n    (s. cat s, s)\n";
    EXPECT_EQ(run_both(strings, {0, 20'000'000}).fused.ending, "OutOfMemory");
}

TEST(InMemoryRun, FilesAndHeadersLiveInTheTableUnderEverySpelling) {
    Case c = split_case(std::string("lib/./h.oxh\nlib//h.oxh\n(r. f ,)\nfopen w, \"out/../o.txt\", \"w\"\n"
                                    "fwrite w, r\nin x\necho x\n") +
                        std::string(piece_separator) + "typed\n" + std::string(piece_separator) +
                        "lib/h.oxh\noxelfn f\n    rtn 5\n");
    Both run = run_both(c, {});
    EXPECT_EQ(run.fused.ending, "end");
    EXPECT_EQ(run.fused.out, "typed\n");
    EXPECT_EQ(run.fused.files.at("o.txt"), "5");
    EXPECT_EQ(run.fused.input_taken, 6u);
}

}  // namespace
}  // namespace oxel::fuzz
