// The run sequence in-process, its console and files in memory: the main
// file's size limit at its edge.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "huge_pages.h"
#include "in_memory_run.h"

namespace oxel {
namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// oxelc's run sequence with the console and `files` in memory.
Result run_oxelc(std::vector<std::string_view> arguments, std::map<std::string, std::string> files = {}) {
    Result r;
    test::Case c;
    c.files = std::move(files);
    const test::Outcome o = test::in_memory(c, [&] { r.status = run_command_line(arguments); });
    EXPECT_EQ(o.ending, "end");
    r.out = o.out;
    r.err = o.err;
    return r;
}

TEST(Driver, MainFileSizeLimitIsExact) {
    const std::string path = "big.ox";
    // Blank lines only: the largest file compiles to an empty program.
    std::string text(main_file_limit - 1, '\n');
    text.replace(0, 7, "echo 1\n");
    Result fits = run_oxelc({path}, {{path, text}});
    EXPECT_EQ(fits.status, 0);
    EXPECT_EQ(fits.out, "1\n");

    Result refused = run_oxelc({path}, {{path, text + '\n'}});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "[Oxel Runtime Error]: Cannot open '" + path + "' at line 1\n[Oxel Execution Terminated]\n");
}

TEST(Driver, VersionWinsWithoutReadingAnything) {
    Result r = run_oxelc({"--dump", "/nonexistent/x.ox", "--version", "more"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, version_line);
    EXPECT_EQ(r.err, "");
}

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

// Sees how much of the process is marked for huge pages once the program is compiled.
struct HugePageWatch : ProgramRunner {
    std::uint64_t kib = 0;
    void run(Program) override { kib = test::marked_kib(); }
};

// A main file of 26 KB or more has its compilation's memory set aside in huge
// pages before it is read; a smaller one does not. On the system's own files,
// which is where the size is asked.
TEST(Driver, LargeMainFileIsCompiledInHugePages) {
    if (!test::huge_pages_on_request() || test::marked_kib() != 0)
        GTEST_SKIP() << "no huge pages on request here";
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const auto path_for = [&](std::size_t lines) {
        const std::filesystem::path path =
            folder / ("oxel-large-" + std::to_string(std::random_device()()) + "-" + std::to_string(lines) + ".ox");
        std::string text = "x0\n";
        for (std::size_t i = 0; i < lines; ++i)
            text += "(x. x + 1)\n";
        EXPECT_TRUE(platform::write_whole_file(path.string(), text));
        return path;
    };
    for (const auto& [lines, huge] : {std::pair{2000, false}, std::pair{4000, true}}) {
        const std::filesystem::path path = path_for(lines);  // 22 KB, then 44 KB
        HugePageWatch watch;
        EXPECT_EQ(run_main_file(path.string(), watch), 0);
        std::filesystem::remove(path);
        EXPECT_EQ(watch.kib > 0, huge) << lines << " lines";
    }
}

#endif

}  // namespace
}  // namespace oxel
