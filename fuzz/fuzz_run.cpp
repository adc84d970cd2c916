// Compiles the input's main file and runs it twice, with and without the
// fused forms, each under the same step and allocation budgets, with its
// console and files in memory. The two runs must leave exactly the same
// output, report, files and input position; a difference aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_case.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oxel;
    const fuzz::Case c = fuzz::split_case({reinterpret_cast<const char*>(data), size});
    const std::optional<Program> program = fuzz::compile_case(c);
    if (!program)
        return 0;
    constexpr RunLimits limits{20000, std::size_t{1} << 25};
    const fuzz::Outcome fused = fuzz::run_case(*program, c, true, limits);
    const fuzz::Outcome plain = fuzz::run_case(*program, c, false, limits);
    if (const std::string difference = fuzz::describe_difference(fused, plain); !difference.empty()) {
        std::fputs(difference.c_str(), stderr);
        std::abort();
    }
    return 0;
}
