// What the fuzz targets and the in-memory tests read a fuzz input as: a
// main file, standard input and a table of files (headers and data), run
// in memory (in_memory_run.h) with and without the fused forms.
//
// A fuzz input is split at each "\0\0\0": the first piece is the main file,
// the second standard input, every further one a file whose path is its
// first line and whose text is the rest.
#pragma once

#include <string>
#include <string_view>

#include "in_memory_run.h"

namespace oxel::fuzz {

inline constexpr std::string_view piece_separator{"\0\0\0", 3};

using test::Case;
using test::compile_case;
using test::Outcome;
using test::run_case;

Case split_case(std::string_view bytes);

// A readable account of how two outcomes differ; empty when they agree.
std::string describe_difference(const Outcome& fused, const Outcome& plain);

}  // namespace oxel::fuzz
