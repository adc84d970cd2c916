#include "runtime/arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/runtime_test_support.h"

namespace oxel {
namespace {

using namespace oxel::test;
using namespace std::literals;

const double nan = std::nan("");
constexpr double inf = std::numeric_limits<double>::infinity();

const char* const arith_names[] = {"add", "sub", "mul", "div", "mod"};
const char* const compare_names[] = {"eq", "ne", "lt", "le", "gt", "ge"};

TEST(Arithmetic, Operations) {
    using A = ArithOp;
    struct Case {
        A op;
        Value left;
        Value right;
        std::string expected;
    };
    const Case cases[] = {
        // integers wrap
        {A::add, I(INT64_MAX), I(1), "int -9223372036854775808"},
        {A::sub, I(INT64_MIN), I(1), "int 9223372036854775807"},
        {A::mul, I(INT64_MAX), I(2), "int -2"},
        {A::mul, I(INT64_MIN), I(-1), "int -9223372036854775808"},
        // integer division truncates, modulo takes the divisor's sign
        {A::div, I(7), I(2), "int 3"},
        {A::div, I(-7), I(2), "int -3"},
        {A::div, I(INT64_MIN), I(-1), "int -9223372036854775808"},
        {A::mod, I(INT64_MIN), I(-1), "int 0"},
        {A::mod, I(-7), I(2), "int 1"},
        {A::mod, I(7), I(-2), "int -1"},
        {A::mod, I(-7), I(3), "int 2"},
        {A::mod, I(7), I(-3), "int -2"},
        {A::mod, I(-7), I(-3), "int -1"},
        {A::mod, I(-6), I(3), "int 0"},
        {A::mod, I(INT64_MIN), I(3), "int 1"},
        {A::mod, I(5), I(INT64_MIN), "int -9223372036854775803"},
        {A::div, I(1), I(0), "error Division by zero @4"},
        {A::mod, I(1), I(0), "error Modulo by zero @4"},
        // a float operand makes it float
        {A::add, I(1), F(2.5), "float 3.5"},
        {A::div, I(4), F(2.0), "float 2"},
        {A::div, F(1.0), I(0), "error Division by zero @4"},
        {A::div, I(1), F(-0.0), "error Division by zero @4"},
        {A::mod, F(1.0), I(0), "error Modulo by zero @4"},
        {A::div, F(0.0), F(nan), "float nan"},
        {A::div, F(-1.0), F(inf), "float -0"},
        {A::mod, F(-7.0), I(3), "float 2"},
        {A::mod, F(7.0), I(-3), "float 1"},  // only a negative left operand is corrected
        {A::mod, F(-7.0), I(-3), "float -1"},
        {A::mod, F(5.5), I(2), "float 1.5"},
        {A::mod, F(-6.0), I(3), "float 0"},
        {A::mod, F(-0.0), I(3), "float -0"},
        // strings are read as numbers
        {A::add, S(" 42 "), I(1), "int 43"},
        {A::add, S("3.5"), I(1), "float 4.5"},
        {A::add, S("99999999999999999999"), I(0), "float 100000000000000000000"},
        {A::add, S("abc"), I(1), "error Not a number @4"},
        // the right operand is converted first, and before the zero test
        {A::add, Arr(), S("abc"), "error Not a number @4"},
        {A::add, S("abc"), Arr(), "error Array is not a number @4"},
        {A::div, S("x"), I(0), "error Not a number @4"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome_of([&] { return arith_operation(c.op, c.left, c.right, 4); }), c.expected)
            << arith_names[static_cast<int>(c.op)] << ' ' << describe(c.left) << ", " << describe(c.right);
    }
}

TEST(Arithmetic, Comparisons) {
    using C = CompareOp;
    const Value array = Arr();
    struct Case {
        C op;
        Value x;
        Value y;
        std::string expected;
    };
    const Case cases[] = {
        {C::lt, I(INT64_MIN), I(INT64_MAX), "int 1"},
        {C::eq, I(9007199254740993), I(9007199254740992), "int 0"},
        {C::eq, I(9007199254740993), F(9007199254740992.0), "int 1"},  // both taken as floats
        {C::eq, I(1), F(1.0), "int 1"},
        {C::eq, F(0.0), F(-0.0), "int 1"},
        {C::eq, F(nan), F(nan), "int 0"},
        {C::ne, F(nan), F(nan), "int 1"},
        {C::lt, I(1), F(nan), "int 0"},
        {C::ge, F(nan), I(1), "int 0"},
        {C::le, F(-inf), I(INT64_MIN), "int 1"},
        {C::lt, S("abc"), S("abd"), "int 1"},
        {C::lt, S("ab"), S("abc"), "int 1"},
        {C::lt, S(""), S("a"), "int 1"},
        {C::gt, S("\xe9"), S("z"), "int 1"},  // unsigned bytes
        {C::eq, S("a\0b"sv), S("a\0c"sv), "int 0"},
        {C::ge, S("abc"), S("ab"), "int 1"},
        {C::eq, S(""), S(""), "int 1"},
        {C::eq, S("10"), I(10), "error Cannot compare these values @9"},
        {C::ne, F(1.0), S("1"), "error Cannot compare these values @9"},
        {C::eq, array, array, "error Cannot compare these values @9"},
        {C::lt, I(1), array, "error Cannot compare these values @9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome_of([&] { return I(compare_values(c.op, c.x, c.y, 9)); }), c.expected)
            << compare_names[static_cast<int>(c.op)] << ' ' << describe(c.x) << ", " << describe(c.y);
    }
}

TEST(Arithmetic, Shifts) {
    struct Case {
        bool left;
        std::int64_t x;
        std::int64_t count;
        std::int64_t expected;
    };
    const Case cases[] = {
        {true, 1, 63, INT64_MIN},   {true, 1, 64, 1},         {true, 3, 65, 6},   {true, 1, -1, INT64_MIN},
        {true, -1, 63, INT64_MIN},  {true, INT64_MAX, 1, -2}, {false, -8, 1, -4}, {false, -1, 70, -1},
        {false, INT64_MIN, 63, -1}, {false, 256, -60, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.left ? shift_left(c.x, c.count) : shift_right(c.x, c.count), c.expected)
            << (c.left ? "shl " : "shr ") << c.x << ", " << c.count;
    }
}

TEST(Arithmetic, SquareRoot) {
    const std::pair<Value, std::string> cases[] = {
        {I(10), "int 3"},
        {I(-4), "int 0"},
        {I(0), "int 0"},
        {I(INT64_MAX), "int 3037000499"},
        {F(2.25), "float 1.5"},
        {F(-0.0), "float -0"},
        {F(nan), "float nan"},
        {F(inf), "float inf"},
        {F(-4.0), "error Square root of negative @2"},
        {F(-inf), "error Square root of negative @2"},
        {S(" 16 "), "int 4"},
        {S("-1"), "int 0"},
        {S("2.25"), "float 1.5"},
        {S("four"), "error Not a number @2"},
        {Arr(), "error Array is not a number @2"},
    };
    for (const auto& [value, expected] : cases) {
        const Value x = value;  // lambdas cannot capture bindings everywhere yet
        EXPECT_EQ(outcome_of([&] { return square_root(x, 2); }), expected) << describe(x);
    }
}

}  // namespace
}  // namespace oxel
