// The one way to fail. Compiler and machine call report_error, which throws a
// Failure carrying its kind, its message and its place in the source. The
// driver catches it, writes the one report and ends the process with status
// 1. Nothing else writes the report or exits, so the compiler and the machine
// can be driven in-process by tests and fuzzers; the checker reads a
// failure's kind and range, never its text. This header includes nothing from
// the project but the list of failure kinds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure_kind.h"

namespace oxel {

// A place in the source. Columns are 1-based byte columns of the physical
// line (a tab is one column), and last_column is inclusive: "x" alone on a
// line is 1..1. Column 0 in both means no column is known: the place is the
// whole line (a file that cannot be opened, an include loop, an image built
// without its source).
struct SourceRange {
    std::string file;  // the file the line belongs to, main file or header; empty: unknown
    std::uint32_t line = 0;
    std::uint32_t first_column = 0;
    std::uint32_t last_column = 0;
};

// One call on the way to a run-time failure: the function running, the file
// of its line, and the line it was at.
struct CallSite {
    std::string function;  // the chunk's name; "__top" for the top level
    std::string file;
    std::uint32_t line = 0;
};

struct Failure {
    FailureKind kind;
    std::string message;  // the kind's text, then a blank and the detail when there is one
    SourceRange where;
    // The file the report names in parentheses; empty: none. Failures inside a
    // function body, compiled or run, name the file of its definition line;
    // that is where.file too, except on the lines of a body that runs on into
    // the next header.
    std::string report_file;
    // Run-time failures: the calls that led to it, innermost (the failing
    // line) first, the top level last. Empty for compile failures.
    std::vector<CallSite> calls;
};

// A compile failure at a known place. The detail, when not empty, follows the
// kind's text after one blank.
[[noreturn]] void report_error(FailureKind kind, std::string_view detail, SourceRange where);
[[noreturn]] void report_error(FailureKind kind, SourceRange where);
// A run-time failure on a line: the machine adds the file and the columns of
// the failing statement when it catches it.
[[noreturn]] void report_error(FailureKind kind, std::string_view detail, std::uint32_t line);
[[noreturn]] void report_error(FailureKind kind, std::uint32_t line);

// The exact bytes of the report for a failure.
std::string format_report(const Failure& failure);

// The chain of calls of a run-time failure, one line each, innermost first,
// written after the report when asked for; empty when the failure has none.
std::string format_call_chain(const Failure& failure);

}  // namespace oxel
