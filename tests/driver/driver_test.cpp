// The run sequence in-process, its console and files in memory: the main
// file's size limit at its edge.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "driver/driver.h"
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

}  // namespace
}  // namespace oxel
