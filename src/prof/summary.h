// A profile as a person or a tool reads it: lines and functions with their
// counts and times, and the sampled call stacks by function name, in the
// forms oxel-prof writes (a table, JSON, folded stacks, a flame graph).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "machine/machine.h"
#include "prof/profiler.h"

namespace oxel::prof {

struct LineRow {
    std::string_view file;
    std::uint32_t line;
    std::uint64_t count;    // statement starts, exact
    std::uint64_t samples;  // while it was the innermost running statement
};

struct FunctionRow {
    std::string_view name;  // "__top" for the top level, as call chains name it
    std::string_view file;
    std::uint32_t line;  // of the definition; 0 for the top level
    std::uint64_t calls;
    std::uint64_t self_samples;
    std::uint64_t total_samples;
};

struct Summary {
    std::vector<LineRow> lines;          // each line run or sampled, by file (main first), then line
    std::vector<FunctionRow> functions;  // each one entered, in definition order, the top level last
    std::vector<std::pair<std::string, std::uint64_t>> stacks;  // "__top;f;g", sorted
    std::uint64_t samples = 0;
};

Summary summarize(const Machine& machine, const Profile& profile);

double milliseconds(std::uint64_t samples);
// Number text for reports: `decimals` places; a share of a whole as "12.5%".
std::string fixed(double value, int decimals);
std::string percent(std::uint64_t part, std::uint64_t whole);

// The hottest lines and functions as a table, for standard error.
std::string format_table(const Summary& summary, const Program& program);
std::string format_json(const Summary& summary);
// One "a;b;c N" line per sampled stack.
std::string format_folded(const Summary& summary);
// A self-contained SVG flame graph with its own script (flame_graph.cpp).
std::string format_flame_graph(const Summary& summary, std::string_view title);

}  // namespace oxel::prof
