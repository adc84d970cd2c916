#include "base/error_report.h"

namespace oxel {

void report_error(FailureKind kind, std::string_view detail, SourceRange where) {
    std::string message(failure_text(kind));
    if (!detail.empty()) {
        message += ' ';
        message += detail;
    }
    throw Failure{kind, std::move(message), std::move(where), {}, {}};
}

void report_error(FailureKind kind, SourceRange where) { report_error(kind, {}, std::move(where)); }

void report_error(FailureKind kind, std::string_view detail, std::uint32_t line) {
    report_error(kind, detail, SourceRange{{}, line, 0, 0});
}

void report_error(FailureKind kind, std::uint32_t line) {
    report_error(kind, {}, SourceRange{{}, line, 0, 0});
}

std::string format_report(const Failure& failure) {
    std::string text = "[Oxel Runtime Error]: ";
    text += failure.message;
    text += " at line ";
    text += std::to_string(failure.where.line);
    if (!failure.report_file.empty()) {
        text += " (";
        text += failure.report_file;
        text += ")";
    }
    text += "\n[Oxel Execution Terminated]\n";
    return text;
}

std::string format_call_chain(const Failure& failure) {
    if (failure.calls.empty())
        return {};
    std::string text = "Call chain, innermost first:\n";
    for (const CallSite& call : failure.calls) {
        text += "  ";
        text += call.function;
        text += " at line ";
        text += std::to_string(call.line);
        if (!call.file.empty()) {
            text += " (";
            text += call.file;
            text += ")";
        }
        text += '\n';
    }
    return text;
}

}  // namespace oxel
