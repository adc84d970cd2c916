// Every shipped program formats to a text that compiles to the same listing,
// and formatting it again changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "fmt/format.h"

namespace oxel::fmt {
namespace {

namespace fs = std::filesystem;

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool compiles(const std::string& text, const std::string& path) {
    try {
        compile_program(text, path);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

// The programs, recursively under `dir` when asked, ending in .ox.
std::vector<fs::path> programs_in(const fs::path& dir, bool recursive) {
    std::vector<fs::path> found;
    auto take = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file() && entry.path().extension() == ".ox")
            found.push_back(entry.path());
    };
    if (recursive) {
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            take(entry);
    } else {
        for (const auto& entry : fs::directory_iterator(dir))
            take(entry);
    }
    return found;
}

TEST(FormatRepository, KeepsEveryListingAndIsIdempotent) {
    const fs::path root = OXEL_SOURCE_ROOT;
    std::vector<fs::path> programs = programs_in(root / "tests" / "programs", true);
    for (const char* dir : {"examples", "bench/workloads", "tests/library"}) {
        std::vector<fs::path> more = programs_in(root / dir, false);
        programs.insert(programs.end(), more.begin(), more.end());
    }
    std::size_t checked = 0;
    std::size_t changed = 0;
    for (const fs::path& program : programs) {
        SCOPED_TRACE(program.string());
        const std::string text = read_bytes(program);
        // the examples and library programs run with lib/ beside them: compile
        // them as if they stood there, so their headers are found
        std::string path = program.string();
        if (!compiles(text, path))
            path = (root / "lib" / program.filename()).string();
        if (!compiles(text, path))
            continue;  // a golden compile error
        Checked once = format_checked(text, path);
        ASSERT_TRUE(once.outcome == Outcome::changed || once.outcome == Outcome::unchanged) << once.message;
        const std::string formatted = once.outcome == Outcome::changed ? once.formatted : text;
        changed += once.outcome == Outcome::changed ? 1 : 0;
        EXPECT_EQ(format_text(formatted), formatted);
        EXPECT_EQ(format_checked(formatted, path).outcome, Outcome::unchanged);
        ++checked;
    }
    // the walk found the shipped programs (the library's through tests/library)
    EXPECT_GT(checked, 90u);
    RecordProperty("checked", static_cast<int>(checked));
    RecordProperty("changed", static_cast<int>(changed));
}

// The library's headers are already in the formatter's layout: a program
// that formats its includes leaves them as they are shipped.
TEST(FormatRepository, LibraryHeadersAreFormatted) {
    std::size_t headers = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(OXEL_SOURCE_ROOT) / "lib")) {
        if (entry.path().extension() != ".oxh")
            continue;
        SCOPED_TRACE(entry.path().string());
        const std::string text = read_bytes(entry.path());
        EXPECT_EQ(format_text(text), text);
        ++headers;
    }
    EXPECT_GE(headers, 7u);
}

}  // namespace
}  // namespace oxel::fmt
