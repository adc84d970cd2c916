// Under the debug adapter, with nothing to stop at, every golden program
// does exactly what oxelc does: the same standard output and error, byte for
// byte, as output events, and the same exit status in `exited`. Each runs in
// a scratch folder holding it and its .files, as the golden tests run it;
// those given arguments or an environment are oxelc's command line's own.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "dbg/adapter_session.h"

namespace oxel::dbg {
namespace {

namespace fs = std::filesystem;

std::string read_or_empty(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> golden_programs() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(OXEL_GOLDEN_PROGRAMS)) {
        const fs::path& p = entry.path();
        if (p.extension() != ".ox")
            continue;
        fs::path sidecar = p;
        if (fs::exists(sidecar.replace_extension(".args")) || fs::exists(sidecar.replace_extension(".env")))
            continue;
        found.push_back(p);
    }
    std::sort(found.begin(), found.end());
    return found;
}

class AsOxelc : public testing::TestWithParam<fs::path> {};

TEST_P(AsOxelc, SameOutputErrorsAndStatus) {
    const fs::path program = GetParam();
    fs::path base = program;
    base.replace_extension();
    const fs::path scratch = fs::temp_directory_path() / ("oxel_dbg_" + base.parent_path().filename().string() + "_" +
                                                          program.stem().string());
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    fs::copy(program, scratch / program.filename());
    if (fs::is_directory(base.string() + ".files"))
        fs::copy(base.string() + ".files", scratch, fs::copy_options::recursive);

    AdapterSession s;
    ASSERT_EQ(s.ask("initialize")["success"], true);
    nlohmann::json launch = {{"program", program.filename().string()}, {"cwd", scratch.string()}};
    if (fs::exists(base.string() + ".in"))
        launch["stdin"] = base.string() + ".in";
    ASSERT_EQ(s.ask("launch", launch)["success"], true);
    s.ask("configurationDone");
    const nlohmann::json exited = s.event("exited");
    const std::string code = read_or_empty(base.string() + ".code");
    EXPECT_EQ(exited["body"]["exitCode"], code.empty() ? 0 : std::stoi(code));
    EXPECT_EQ(s.output("stdout"), read_or_empty(base.string() + ".out"));
    EXPECT_EQ(s.output("stderr"), read_or_empty(base.string() + ".err"));
    s.event("terminated");
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(scratch);
}

INSTANTIATE_TEST_SUITE_P(Golden, AsOxelc, testing::ValuesIn(golden_programs()),
                         [](const testing::TestParamInfo<fs::path>& param) {
                             std::string name = fs::relative(param.param, OXEL_GOLDEN_PROGRAMS).string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

}  // namespace
}  // namespace oxel::dbg
