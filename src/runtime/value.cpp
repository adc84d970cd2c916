#include "runtime/value.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/error_report.h"
#include "runtime/number_text.h"
#include "runtime/value_text.h"

namespace oxel {

namespace {

// Text read as a number loses these at both ends.
std::string_view trim_number_text(std::string_view text) {
    constexpr std::string_view trimmed = " \t\r\n";
    const auto first = text.find_first_not_of(trimmed);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(trimmed) - first + 1);
}

std::string_view integer_text(std::int64_t i, TextBuffer& buffer) {
    return {buffer.bytes, static_cast<std::size_t>(write_integer(buffer.bytes, i) - buffer.bytes)};
}

std::string_view float_text(double f, TextBuffer& buffer) {
    return {buffer.bytes, static_cast<std::size_t>(write_float(buffer.bytes, f) - buffer.bytes)};
}

}  // namespace

Number number_of(const Value& v, std::uint32_t line) {
    switch (v.kind()) {
        case ValueKind::Int:
            return {false, v.as_int(), 0.0};
        case ValueKind::Float:
            return {true, 0, v.as_float()};
        case ValueKind::String: {
            const std::string_view text = trim_number_text(v.as_string());
            if (const IntegerParse parsed = parse_integer(text); parsed.ok)
                return {false, parsed.value, 0.0};
            // An integer too long for 64 bits lands here and becomes a float.
            if (const auto parsed = parse_float(text))
                return {true, 0, *parsed};
            report_error(FailureKind::not_a_number, line);
        }
        case ValueKind::Array:
            break;
    }
    report_error(FailureKind::array_not_a_number, line);
}

std::int64_t integer_of(const Value& v, std::uint32_t line) {
    // 2^63: the first magnitude that does not fit; -2^63 is refused as well.
    constexpr double too_large = 9223372036854775808.0;
    switch (v.kind()) {
        case ValueKind::Int:
            return v.as_int();
        case ValueKind::Float: {
            const double f = v.as_float();
            if (std::isnan(f))
                report_error(FailureKind::not_a_number, line);
            if (std::fabs(f) >= too_large)
                report_error(FailureKind::number_too_large, line);
            return static_cast<std::int64_t>(f);  // truncates toward zero
        }
        case ValueKind::String: {
            const IntegerParse parsed = parse_integer(trim_number_text(v.as_string()));
            if (!parsed.ok)
                report_error(FailureKind::not_a_number, line);
            return parsed.value;
        }
        case ValueKind::Array:
            break;
    }
    report_error(FailureKind::array_not_a_number, line);
}

bool is_truthy(const Value& v) {
    switch (v.kind()) {
        case ValueKind::Int:
            return v.as_int() != 0;
        case ValueKind::Float:
            return v.as_float() != 0.0;  // -0.0 is false, NaN true
        case ValueKind::String:
            return !v.as_string().empty();
        case ValueKind::Array:
            break;
    }
    return true;
}

std::string_view text_of(const Value& v, TextBuffer& buffer) {
    switch (v.kind()) {
        case ValueKind::Int:
            return integer_text(v.as_int(), buffer);
        case ValueKind::Float:
            return float_text(v.as_float(), buffer);
        case ValueKind::String:
            return v.as_string();
        case ValueKind::Array:
            break;
    }
    return "[array]";
}

}  // namespace oxel
