#include "runtime/arithmetic.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "base/error_report.h"

namespace oxel {

namespace {

constexpr std::int64_t int_min = std::numeric_limits<std::int64_t>::min();

Value float_operation(ArithOp op, double left, double right, std::uint32_t line) {
    switch (op) {
        case ArithOp::add:
            return Value::number(left + right);
        case ArithOp::sub:
            return Value::number(left - right);
        case ArithOp::mul:
            return Value::number(left * right);
        case ArithOp::div:
            if (right == 0.0)
                report_error(FailureKind::division_by_zero, line);  // either sign; NaN divides
            return Value::number(left / right);
        case ArithOp::mod:
            break;
    }
    if (right == 0.0)
        report_error(FailureKind::modulo_by_zero, line);
    double r = std::fmod(left, right);
    // Only a negative left operand is corrected: 7.0 mod -3 stays 1.0.
    if (left < 0)
        r = std::fmod(r + right, right);
    return Value::number(r);
}

Value integer_operation(ArithOp op, std::int64_t left, std::int64_t right, std::uint32_t line) {
    // Sums, differences and products wrap: computed on the unsigned bits.
    const auto l = static_cast<std::uint64_t>(left);
    const auto r = static_cast<std::uint64_t>(right);
    switch (op) {
        case ArithOp::add:
            return Value::integer(static_cast<std::int64_t>(l + r));
        case ArithOp::sub:
            return Value::integer(static_cast<std::int64_t>(l - r));
        case ArithOp::mul:
            return Value::integer(static_cast<std::int64_t>(l * r));
        case ArithOp::div:
            if (right == 0)
                report_error(FailureKind::division_by_zero, line);
            // The one quotient that does not fit wraps to itself (the hardware traps).
            if (left == int_min && right == -1)
                return Value::integer(int_min);
            return Value::integer(left / right);
        case ArithOp::mod:
            break;
    }
    if (right == 0)
        report_error(FailureKind::modulo_by_zero, line);
    if (right == -1)
        return Value::integer(0);  // also keeps INT64_MIN % -1 off the hardware
    return Value::integer(floored_mod(left, right));
}

template <typename T>
bool holds(CompareOp op, T x, T y) {
    switch (op) {
        case CompareOp::eq:
            return x == y;
        case CompareOp::ne:
            return x != y;
        case CompareOp::lt:
            return x < y;
        case CompareOp::le:
            return x <= y;
        case CompareOp::gt:
            return x > y;
        case CompareOp::ge:
            break;
    }
    return x >= y;
}

}  // namespace

Value arith_operation(ArithOp op, const Value& left, const Value& right, std::uint32_t line) {
    // The right operand is taken first, so its conversion error wins.
    const Number r = number_of(right, line);
    const Number l = number_of(left, line);
    if (l.is_float || r.is_float)
        return float_operation(op, l.as_double(), r.as_double(), line);
    return integer_operation(op, l.i, r.i, line);
}

int byte_order(std::string_view x, std::string_view y) {
    const std::size_t common = x.size() < y.size() ? x.size() : y.size();
    // memcmp orders by unsigned bytes; an empty view may have no address.
    if (common > 0) {
        if (const int c = std::memcmp(x.data(), y.data(), common); c != 0)
            return c < 0 ? -1 : 1;
    }
    if (x.size() == y.size())
        return 0;
    return x.size() < y.size() ? -1 : 1;
}

bool compare_values(CompareOp op, const Value& x, const Value& y, std::uint32_t line) {
    if (x.is_string() && y.is_string())
        return holds(op, byte_order(x.as_string(), y.as_string()), 0);
    if (x.is_string() || x.is_array() || y.is_string() || y.is_array()) {
        report_error(FailureKind::cannot_compare, line);
    }
    if (x.is_int() && y.is_int())
        return holds(op, x.as_int(), y.as_int());
    // IEEE: NaN is unordered and unequal to everything, 0.0 equals -0.0.
    const double fx = x.is_float() ? x.as_float() : static_cast<double>(x.as_int());
    const double fy = y.is_float() ? y.as_float() : static_cast<double>(y.as_int());
    return holds(op, fx, fy);
}

Value square_root(const Value& x, std::uint32_t line) {
    const Number n = number_of(x, line);
    if (n.is_float) {
        if (n.f < 0.0)
            report_error(FailureKind::negative_square_root, line);
        return Value::number(std::sqrt(n.f));  // sqrt(-0.0) is -0.0
    }
    if (n.i <= 0)
        return Value::integer(0);
    // At most about 3.04e9: the truncation always fits.
    return Value::integer(static_cast<std::int64_t>(std::sqrt(static_cast<double>(n.i))));
}

}  // namespace oxel
