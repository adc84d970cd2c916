// Arithmetic, comparison and bit operations on values. The interpreter loop
// does Int-with-Int add/sub/mul and comparisons inline; everything else, and
// every error, comes here. `line` is the executing instruction's line.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/value.h"

namespace oxel {

enum class ArithOp : std::uint8_t { add, sub, mul, div, mod };
enum class CompareOp : std::uint8_t { eq, ne, lt, le, gt, ge };

// Integers wrap; division truncates; integer modulo is floored. The smallest
// integer divided by -1 gives itself (wrapped), modulo -1 gives 0.
Value arith_operation(ArithOp op, const Value& left, const Value& right, std::uint32_t line);

// Numbers compare across Int and Float, strings bytewise as unsigned bytes;
// anything else is "Cannot compare these values".
bool compare_values(CompareOp op, const Value& x, const Value& y, std::uint32_t line);
// -1, 0 or 1: unsigned bytes, lexicographically; a proper prefix orders first.
int byte_order(std::string_view x, std::string_view y);

// Integer modulo, floored: a nonzero remainder takes the divisor's sign.
// `y` is neither 0 (an error) nor -1 (the hardware traps on the smallest
// integer); the callers deal with those first.
inline std::int64_t floored_mod(std::int64_t x, std::int64_t y) {
    const std::int64_t m = x % y;
    return (m != 0 && (m < 0) != (y < 0)) ? m + y : m;
}

// Only the low six bits of the count are used; shr is arithmetic.
inline std::int64_t shift_left(std::int64_t x, std::int64_t count) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(x) << (count & 63));
}
inline std::int64_t shift_right(std::int64_t x, std::int64_t count) { return x >> (count & 63); }

Value square_root(const Value& x, std::uint32_t line);

}  // namespace oxel
