#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace oxel {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
std::uint64_t bits(double d) { return std::bit_cast<std::uint64_t>(d); }

TEST(NumberTextInteger, ParseAcceptsAndRejects) {
    using E = IntegerParseError;
    struct Case {
        const char* text;
        bool ok;
        std::int64_t value;
        E error;
    };
    const Case cases[] = {
        {"9223372036854775807", true, INT64_MAX, E{}},
        {"-9223372036854775808", true, INT64_MIN, E{}},
        {"+5", true, 5, E{}},
        {"-0", true, 0, E{}},
        {"007", true, 7, E{}},
        {"1_000", true, 1000, E{}},
        {"1__0", true, 10, E{}},
        {"9223372036854775808", false, 0, E::overflow},
        {"-9223372036854775809", false, 0, E::overflow},
        {"99999999999999999999", false, 0, E::overflow},
        {"", false, 0, E::invalid_character},
        {"+", false, 0, E::invalid_character},
        {"-", false, 0, E::invalid_character},
        {"_1", false, 0, E::invalid_character},
        {"1_", false, 0, E::invalid_character},
        {"-_1", false, 0, E::invalid_character},
        {"1.0", false, 0, E::invalid_character},
        {"0x10", false, 0, E::invalid_character},
        {" 5", false, 0, E::invalid_character},
        {"5a", false, 0, E::invalid_character},
        {"--5", false, 0, E::invalid_character},
    };
    for (const Case& c : cases) {
        const IntegerParse r = parse_integer(c.text);
        EXPECT_EQ(r.ok, c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(r.value, c.value) << c.text;
        else
            EXPECT_EQ(r.error, c.error) << c.text;
    }
}

TEST(NumberTextInteger, Format) {
    EXPECT_EQ(format_integer(0), "0");
    EXPECT_EQ(format_integer(-1), "-1");
    EXPECT_EQ(format_integer(INT64_MAX), "9223372036854775807");
    EXPECT_EQ(format_integer(INT64_MIN), "-9223372036854775808");
    std::string out = "x=";
    append_integer(out, -42);
    EXPECT_EQ(out, "x=-42");
}

TEST(NumberTextFloat, ParseAccepts) {
    const std::string tie = "9007199254740993";  // 2^53 + 1: halfway, ties to 2^53
    const std::pair<std::string, double> cases[] = {
        {"1.5", 1.5},
        {"+1.5", 1.5},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {".5", 0.5},
        {"5.", 5},
        {"-.5", -0.5},
        {"-0.0", -0.0},
        {"1_0.2_5", 10.25},
        {"1.5e1_0", 1.5e10},
        {"1e+0_2", 100},
        {"99999999999999999999", 1e20},
        {"0x1.8p1", 3},
        {"0X10", 16},
        {"0x1.8", 1.5},
        {"-0x.8p-1", -0.25},
        {"0xa_B", 171},
        {"0x1p1_0", 1024},
        {"+0x1P+2", 4},
        {"INF", inf},
        {"-Infinity", -inf},
        {"iNfInItY", inf},
        // Overflow and underflow keep the sign; subnormals are ordinary results.
        {"1e400", inf},
        {"-1e400", -inf},
        {"1e-400", 0.0},
        {"-1e-400", -0.0},
        {"-0x1p-1080", -0.0},
        {"0x1.fffffffffffff8p1023", inf},
        {"1" + std::string(320, '0') + "e-10", inf},
        {"0." + std::string(400, '0') + "1e10", 0.0},
        {"0x1" + std::string(400, '0') + "p-500", inf},
        {"1e99999999999999999999999", inf},
        {"4.9e-324", 0x1p-1074},
        {"2.4703282292062328e-324", 0x1p-1074},
        {"2.4703282292062327e-324", 0.0},
        {"0x0.0000000000001p-1022", 0x1p-1074},
        {"1e-310", 1e-310},
        // Correct rounding however long, also past the stack buffer.
        {tie, 0x1p53},
        {tie + "." + std::string(80, '0') + "1", 0x1p53 + 2},
        {"9_007_199_254_740_993." + std::string(80, '0') + "1", 0x1p53 + 2},
    };
    for (const auto& [text, expected] : cases) {
        const std::optional<double> got = parse_float(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(bits(*got), bits(expected)) << text << " gave " << *got;
    }
    for (const char* text : {"nan", "-NaN", "+nAn"}) {
        const std::optional<double> got = parse_float(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_TRUE(std::isnan(*got) && !std::signbit(*got)) << text;
    }
}

TEST(NumberTextFloat, ParseRejects) {
    for (const char* text :
         {"",      "+",    "-",    ".",    "-.",      "e5",     "1e",   "1e+",    "1.5e+",  "1e+-5", "1e5.0",
          "1.2.3", "--1",  "+-1",  "1,5",  " 1.5",    "1.5 ",   "1 .5", "1__0.5", "_1.5",   "1_.5",  "1._5",
          "1.5_",  "1_e5", "1e_5", "-_1",  "infinit", "infx",   "nanx", "in f",   "-inf.",  "0x",    "0x.",
          "0x.p1", "0x1p", "0x_1", "0_x1", "0x-1",    "0x1_p1", "0xg",  "1p3",    "0x1e+5", "nan(1)"}) {
        EXPECT_FALSE(parse_float(text).has_value()) << text;
    }
}

TEST(NumberTextFloat, IsFloatLiteral) {
    for (const char* text : {"3.0", "-3.5", "5.", "-.5", "1.5e3", "1_000.0", "0x1.8p1", " \t2.5 "})
        EXPECT_TRUE(is_float_literal(text)) << text;
    for (const char* text : {"3", "-", "1e5", "+1.5", ".5", "-inf.", "1.2.3", "1.5e", "", " \t", "nan."})
        EXPECT_FALSE(is_float_literal(text)) << text;
}

TEST(NumberTextFloat, FormatExamples) {
    const std::pair<double, std::string> cases[] = {
        {1.5, "1.5"},
        {100.0, "100"},
        {-2.0, "-2"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1.0 / 3.0, "0.3333333333333333"},
        {1.5e-7, "0.00000015"},
        {1e21, "1000000000000000000000"},
        {0x1p53, "9007199254740992"},
        {123456789.0, "123456789"},
        {1.25e-5, "0.0000125"},
        {-123.456, "-123.456"},
        {std::numeric_limits<double>::max(), "17976931348623157" + std::string(292, '0')},
        {0x1p-1074, "0." + std::string(323, '0') + "5"},
        // 9.999999999999999e22 reads back as the same double as 1e23 (a
        // halfway case, ties to even), so its shortest digits are just "1".
        {9.999999999999999e22, "100000000000000000000000"},
        {0.0, "0"},
        {-0.0, "-0"},
        {inf, "inf"},
        {-inf, "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "-nan"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(format_float(value), text) << text;
    std::string out = "x=";
    append_float(out, -0.25);
    EXPECT_EQ(out, "x=-0.25");
}

// Every finite float formats without an exponent, reads back to the same
// bits, and no string with one digit fewer does. Hex text reads back too.
TEST(NumberTextFloat, RoundTripRandomBits) {
    std::mt19937_64 random(20240611);
    std::vector<double> values = {std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::denorm_min(),
                                  -0.0,
                                  5e-324,
                                  1e23,
                                  0.3};
    for (int n = -323; n <= 308; ++n) {
        const double p = std::strtod(("1e" + std::to_string(n)).c_str(), nullptr);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, inf)});
    }
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t pattern = random();
        values.push_back(std::bit_cast<double>(pattern));
        values.push_back(std::bit_cast<double>(pattern & 0x800F'FFFF'FFFF'FFFFu));  // subnormal
    }
    char buffer[64];
    for (const double value : values) {
        if (!std::isfinite(value))
            continue;
        const std::string text = format_float(value);
        ASSERT_EQ(text.find_first_not_of("-.0123456789"), std::string::npos) << text;
        const std::optional<double> back = parse_float(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(bits(*back), bits(value)) << text;

        const auto hex =
            std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::hex);
        const std::string hex_text = (std::signbit(value) ? "-0x" : "0x") + std::string(buffer, hex.ptr);
        ASSERT_EQ(bits(parse_float(hex_text).value_or(1.0)), bits(value)) << hex_text;

        const auto first = text.find_first_not_of("-0.");
        if (first == std::string::npos)
            continue;  // zero
        const std::string significant = text.substr(first, text.find_last_not_of("0.") - first + 1);
        const int digits =
            static_cast<int>(significant.size()) - (significant.find('.') != std::string::npos);
        if (digits < 2)
            continue;
        const auto shorter =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits - 2);
        ASSERT_NE(bits(*parse_float({buffer, shorter.ptr})), bits(value)) << text << " is not shortest";
    }
}

}  // namespace
}  // namespace oxel
