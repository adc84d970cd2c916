// What the fuzz targets and the in-memory tests run: a main file, standard
// input and a table of files (headers and data), all in memory, and the
// differential run that executes a program with and without the fused
// forms under step and allocation budgets.
//
// A fuzz input is split at each "\0\0\0": the first piece is the main file,
// the second standard input, every further one a file whose path is its
// first line and whose text is the rest.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "image/program.h"
#include "machine/machine.h"

namespace oxel::fuzz {

inline constexpr std::string_view piece_separator{"\0\0\0", 3};
inline constexpr std::string_view main_path = "main.ox";

struct Case {
    std::string main_path{fuzz::main_path};
    std::string main;
    std::string input;
    std::map<std::string, std::string> files;  // by tidied path
};

Case split_case(std::string_view bytes);

// Everything a run left behind. `ending` is "end" for a run that ended
// well, the error report, "OutOfMemory", or "steps" for a spent budget.
struct Outcome {
    std::string out;
    std::string err;
    std::string ending;
    std::map<std::string, std::string> files;
    std::size_t input_taken = 0;
    bool operator==(const Outcome&) const = default;
};

// The program compiled from the case's main file, its headers read from the
// case's files; nothing when it does not compile (the report is in `report`).
std::optional<Program> compile_case(const Case& c, std::string* report = nullptr);

Outcome run_case(const Program& program, const Case& c, bool fuse, RunLimits limits);

// A readable account of how two outcomes differ; empty when they agree.
std::string describe_difference(const Outcome& fused, const Outcome& plain);

}  // namespace oxel::fuzz
