// The run sequence in-process: the main file's size limit at its edge.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/driver.h"

namespace oxel {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run_oxelc(std::vector<std::string_view> arguments) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = run_command_line(arguments);
    Result r{status, testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    return r;
}

TEST(Driver, MainFileSizeLimitIsExact) {
    auto dir = std::filesystem::temp_directory_path() / "oxel_driver_test";
    std::filesystem::create_directories(dir);
    std::string path = (dir / "big.ox").string();
    // Blank lines only: the largest file compiles to an empty program.
    std::string text(main_file_limit - 1, '\n');
    text.replace(0, 7, "echo 1\n");
    std::ofstream(path, std::ios::binary) << text;
    Result fits = run_oxelc({path});
    EXPECT_EQ(fits.status, 0);
    EXPECT_EQ(fits.out, "1\n");

    std::ofstream(path, std::ios::binary | std::ios::app) << '\n';
    Result refused = run_oxelc({path});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "[Oxel Runtime Error]: Cannot open '" + path + "' at line 1\n[Oxel Execution Terminated]\n");
    std::filesystem::remove_all(dir);
}

TEST(Driver, VersionWinsWithoutReadingAnything) {
    Result r = run_oxelc({"--dump", "/nonexistent/x.ox", "--version", "more"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, version_line);
    EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace oxel
