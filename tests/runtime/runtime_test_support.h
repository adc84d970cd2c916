// Shorthands for the runtime unit tests: values from literals, a readable
// description of a value, and the failure an action ends with.
#pragma once

#include <string>
#include <string_view>

#include "base/error_report.h"
#include "runtime/number_text.h"
#include "runtime/value.h"

namespace oxel::test {

inline Value I(std::int64_t i) { return Value::integer(i); }
inline Value F(double f) { return Value::number(f); }
// The bytes must outlive the value: string literals, or strings the test keeps.
inline Value S(std::string_view s) { return Value::string(s); }
// An array of four elements outside any heap, for the checks that refuse arrays.
inline Value Arr() {
    static std::int64_t elements[4];
    return Value::array(elements, 4);
}

// "int 3", "float 2.5", "string ab", "array of 5".
inline std::string describe(const Value& v) {
    switch (v.kind()) {
        case ValueKind::Int:
            return "int " + format_integer(v.as_int());
        case ValueKind::Float:
            return "float " + format_float(v.as_float());
        case ValueKind::String:
            return "string " + std::string(v.as_string());
        case ValueKind::Array:
            break;
    }
    return "array of " + std::to_string(v.array_length());
}

// "message @line" of the Failure the action throws; "no failure" otherwise.
template <typename Action>
std::string failure_of(Action&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.message + " @" + std::to_string(failure.where.line);
    }
    return "no failure";
}

// The action's result described, or its failure as "error message @line".
template <typename Action>
std::string outcome_of(Action&& action) {
    std::string result;
    const std::string failure = failure_of([&] { result = describe(action()); });
    return failure == "no failure" ? result : "error " + failure;
}

}  // namespace oxel::test
