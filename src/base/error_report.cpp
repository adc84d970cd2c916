#include "base/error_report.h"

namespace oxel {

std::string_view error_file;

void report_error(std::string message, std::uint32_t line) {
    throw Failure{std::move(message), line, std::string(error_file)};
}

std::string format_report(const Failure& failure) {
    std::string text = "[Oxel Runtime Error]: ";
    text += failure.message;
    text += " at line ";
    text += std::to_string(failure.line);
    if (!failure.file.empty()) {
        text += " (";
        text += failure.file;
        text += ")";
    }
    text += "\n[Oxel Execution Terminated]\n";
    return text;
}

}  // namespace oxel
