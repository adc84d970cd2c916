// Compiles the input's main file and runs it twice, with and without the
// fused forms, each under the same step and allocation budgets, with its
// console and files in memory. The two runs must leave exactly the same
// output, report, files and input position; a difference aborts. A run
// that ended within its steps runs a third time with every loop compiled to
// machine code at once, which must leave the same again.
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
    // Compiled code counts no steps, so only a run that ended within them
    // is repeated, with no step limit. Its code is paid for from the same
    // memory, so a run that runs out of it is not compared.
    if (fused.ending == "steps" || fused.ending == "OutOfMemory")
        return 0;
    const fuzz::Outcome compiled = test::run_case_with_jit(*program, c, JitMode::eager, nullptr, limits.bytes);
    if (compiled.ending == "OutOfMemory")
        return 0;
    if (const std::string difference = fuzz::describe_difference(compiled, fused); !difference.empty()) {
        std::fputs("with machine code:\n", stderr);
        std::fputs(difference.c_str(), stderr);
        std::abort();
    }
    return 0;
}
