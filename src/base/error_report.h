// The one way to fail. Compiler and machine call report_error, which throws a
// Failure carrying the message, the line and the file (error_file at the time
// of the throw). The driver catches it, writes the one report and ends the
// process with status 1. Nothing else writes the report or exits, so the
// compiler and the machine can be driven in-process by tests and fuzzers.
// This header includes nothing else from the project.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace oxel {

struct Failure {
    std::string message;
    std::uint32_t line;
    std::string file;  // empty: no file in parentheses
};

// Path of the file whose function body is being compiled or run; empty for
// top-level code. Read only when a Failure is made.
extern std::string_view error_file;

[[noreturn]] void report_error(std::string message, std::uint32_t line);

// The exact bytes of the report for a failure.
std::string format_report(const Failure& failure);

}  // namespace oxel
