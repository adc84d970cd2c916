// Programs compiled and run in-process with their console and files in
// memory (a MemoryBackend): standard input from a string, standard output
// and error into strings, files in a table. The unit tests and the fuzz
// targets drive the compiler and the machine through this, and it needs
// no test framework.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/error_report.h"
#include "base/memory_platform.h"
#include "image/program.h"
#include "machine/machine.h"

namespace oxel::test {

// What a program starts with: its main file, standard input and files.
struct Case {
    std::string main_path{"main.ox"};
    std::string main;
    std::string input;
    std::map<std::string, std::string> files;  // by tidied path
};

// Everything a run left behind. `ending` is "end" for a run that ended
// well, the error report, "OutOfMemory", or "steps" for a spent budget.
struct Outcome {
    std::string out;
    std::string err;
    std::string ending;
    std::optional<Failure> failure;  // when the run ended with an error
    std::map<std::string, std::string> files;
    std::size_t input_taken = 0;
};

// Runs `body` with the case's input and files in memory and catches what a
// run can end with; the main file is not read.
template <typename Body>
Outcome in_memory(const Case& c, Body&& body) {
    platform::MemoryBackend backend;
    backend.files = c.files;
    backend.input = c.input;
    Outcome outcome;
    {
        platform::BackendInUse in_use(backend);
        try {
            std::forward<Body>(body)();
            outcome.ending = "end";
        } catch (const Failure& failure) {
            outcome.ending = format_report(failure);
            outcome.failure = failure;
        } catch (const std::bad_alloc&) {
            outcome.ending = "OutOfMemory";
        } catch (const StepBudgetExhausted&) {
            outcome.ending = "steps";
        }
    }
    outcome.out = std::move(backend.out);
    outcome.err = std::move(backend.err);
    outcome.files = std::move(backend.files);
    outcome.input_taken = backend.input_taken;
    return outcome;
}

// Standard output of `body` (which must not fail), with empty input.
template <typename Body>
std::string output_of(Body&& body) {
    return in_memory(Case{}, std::forward<Body>(body)).out;
}

// The program compiled from the case's main file, its headers read from the
// case's files; nothing when it does not compile (the report is in `report`).
std::optional<Program> compile_case(const Case& c, std::string* report = nullptr);

// The program run by a machine, fused or not, under the limits.
Outcome run_case(const Program& program, const Case& c, bool fuse = true, RunLimits limits = {});
// The same with the machine-code tier in `mode` whatever OXEL_JIT says,
// with no step limit and `bytes` of memory (0: no limit); `tier`, when
// given, gets the counts of the tier at the end.
struct JitCounts {
    std::size_t compiled = 0;
    std::size_t given_up = 0;
    std::size_t functions = 0;
    std::size_t code_bytes = 0;
};
Outcome run_case_with_jit(const Program& program, const Case& c, JitMode mode, JitCounts* tier = nullptr,
                          std::size_t bytes = 0);

}  // namespace oxel::test
