// How the debugger shows values, and the breakpoint conditions it reads.
#include <gtest/gtest.h>

#include "dbg/shown_values.h"

namespace oxel::dbg {
namespace {

TEST(Show, ValuesAsTheDebuggerShowsThem) {
    const std::string bytes = std::string("q\"b\\n\nt\tr\r") + '\x01' + '\x7f' + "\xC3\xA9" + "~ ";
    const struct {
        Value value;
        const char* shown;
        const char* kind;
    } cases[] = {
        {Value::integer(-42), "-42", "Int"},
        {Value::number(1.5), "1.5", "Float"},
        {Value::string(""), "\"\"", "String"},
        {Value::string(bytes), R"("q\"b\\n\nt\tr\r\x01\x7f\xc3\xa9~ ")", "String"},
        {Value::string("plain text"), "\"plain text\"", "String"},  // nothing to escape
    };
    for (const auto& c : cases) {
        EXPECT_EQ(show(c.value), c.shown) << c.shown;
        EXPECT_EQ(kind_name(c.value), c.kind) << c.shown;
    }
}

TEST(Show, ArrayElementsAreCutAfterTheMost) {
    std::int64_t elements[] = {1, -2, 3};
    const Value array = Value::array(elements, 3);
    EXPECT_EQ(show(array), "Array(3)");
    EXPECT_EQ(show_elements(array, 3), "[1, -2, 3]");
    EXPECT_EQ(show_elements(array, 2), "[1, -2, ...]");
}

TEST(Condition, NameEqualsAValue) {
    using Expected = std::variant<std::int64_t, double, std::string>;
    const struct {
        const char* text;
        const char* name;
        Expected value;
    } parsed[] = {
        {"n == 2", "n", std::int64_t{2}},
        {"  count==-3 ", "count", std::int64_t{-3}},
        {"f == 1.5", "f", 1.5},
        {"f == 1e3", "f", 1000.0},
        {R"(s == "a\"b")", "s", std::string("a\"b")},
        {R"(s == "\x41\t")", "s", std::string("A\t")},
        {R"(s == "")", "s", std::string()},
        {R"(s == "x == y")", "s", std::string("x == y")},
    };
    for (const auto& c : parsed) {
        const std::optional<Condition> condition = parse_condition(c.text);
        ASSERT_TRUE(condition) << c.text;
        EXPECT_EQ(condition->name, c.name) << c.text;
        EXPECT_EQ(condition->value, c.value) << c.text;
    }
    // Near misses: each is refused.
    for (const char* text : {"n = 2", "n == ", "== 2", "2n == 1", "n m == 1", "n == 2x", R"(s == "abc)",
                             R"(s == "a"b")", R"(s == "\q")", R"(s == "\x4")", "n < 2", "n != 2"})
        EXPECT_FALSE(parse_condition(text)) << text;
}

}  // namespace
}  // namespace oxel::dbg
