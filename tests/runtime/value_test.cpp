#include "runtime/value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "runtime/number_text.h"
#include "runtime/runtime_test_support.h"
#include "runtime/value_text.h"

namespace oxel {
namespace {

using namespace oxel::test;
using namespace std::literals;

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

std::string number_outcome(const Value& v) {
    return outcome_of([&] {
        const Number n = number_of(v, 7);
        return n.is_float ? F(n.f) : I(n.i);
    });
}

std::string integer_outcome(const Value& v) {
    return outcome_of([&] { return I(integer_of(v, 7)); });
}

TEST(ValueConversion, NumberOf) {
    const std::pair<Value, std::string> cases[] = {
        {I(-5), "int -5"},
        {F(-0.0), "float -0"},
        {S(" 42 "), "int 42"},
        {S("\t\r\n42\n"), "int 42"},
        {S("3.5"), "float 3.5"},
        {S("1_000"), "int 1000"},
        {S("-9223372036854775808"), "int -9223372036854775808"},
        {S("99999999999999999999"), "float 100000000000000000000"},  // too long for an int
        {S("0x10"), "float 16"},
        {S("inf"), "float inf"},
        {S(""), "error Not a number @7"},
        {S(" \t\r\n "), "error Not a number @7"},
        {S("4 2"), "error Not a number @7"},
        {S("\v5"), "error Not a number @7"},  // only space, tab, CR and LF are trimmed
        {S("abc"), "error Not a number @7"},
        {Arr(), "error Array is not a number @7"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(number_outcome(value), expected) << describe(value);
}

TEST(ValueConversion, IntegerOf) {
    const std::pair<Value, std::string> cases[] = {
        {I(INT64_MIN), "int -9223372036854775808"},
        {F(2.9), "int 2"},
        {F(-2.9), "int -2"},
        {F(9223372036854774784.0), "int 9223372036854774784"},  // the largest float below 2^63
        {F(9223372036854775808.0), "error Number too large @7"},
        {F(-9223372036854775808.0), "error Number too large @7"},
        {F(1e19), "error Number too large @7"},
        {F(inf), "error Number too large @7"},
        {F(-inf), "error Number too large @7"},
        {F(nan), "error Not a number @7"},
        {S(" -7\n"), "int -7"},
        {S("99999999999999999999"), "error Not a number @7"},  // no float fallback
        {S("0x10"), "error Not a number @7"},
        {S("inf"), "error Not a number @7"},
        {S("3.5"), "error Not a number @7"},
        {Arr(), "error Array is not a number @7"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(integer_outcome(value), expected) << describe(value);
}

TEST(ValueConversion, Truth) {
    const std::pair<Value, bool> cases[] = {
        {Value{}, false}, {I(0), false},    {I(-1), true},  {I(INT64_MIN), true},
        {F(0.0), false},  {F(-0.0), false}, {F(nan), true}, {F(1e-320), true},
        {S(""), false},   {S("0"), true},   {S(" "), true}, {Arr(), true},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(is_truthy(value), expected) << describe(value);
}

TEST(ValueText, KindsAndExtremes) {
    TextBuffer buffer;
    EXPECT_EQ(text_of(I(0), buffer), "0");
    EXPECT_EQ(text_of(I(INT64_MIN), buffer), "-9223372036854775808");
    EXPECT_EQ(text_of(F(2.0), buffer), "2");
    EXPECT_EQ(text_of(F(-0.0), buffer), "-0");
    EXPECT_EQ(text_of(F(1e23), buffer), "100000000000000000000000");
    EXPECT_EQ(text_of(Arr(), buffer), "[array]");
    const std::string_view bytes = "a\0b"sv;
    EXPECT_EQ(text_of(S(bytes), buffer).data(), bytes.data());  // a string is not copied

    // The longest texts must fit the buffer (the sanitizer build watches it).
    const double longest[] = {-5e-324, -2.2250738585072009e-308, -std::numeric_limits<double>::max()};
    for (const double f : longest)
        EXPECT_EQ(text_of(F(f), buffer), format_float(f));
}

}  // namespace
}  // namespace oxel
