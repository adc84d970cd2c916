// Small pieces the interpreter's handlers share: stack checks, pops that
// convert, operand unpacking and the integer division rules. Everything here
// is inline; the loop itself is in interpreter.cpp and its handlers in the
// ops_*.inc files next to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/error_report.h"
#include "image/program.h"
#include "machine/internal_opcodes.h"
#include "machine/machine.h"
#include "runtime/arithmetic.h"
#include "runtime/value.h"

// Kept out of the hot path where the compiler can be told so.
#if defined(__GNUC__) || defined(__clang__)
#define OXEL_COLD [[gnu::cold]]
#else
#define OXEL_COLD
#endif

namespace oxel::handlers {

OXEL_COLD [[noreturn]] void fail_stack_underflow(std::uint32_t line);
OXEL_COLD [[noreturn]] void fail_stack_overflow(std::uint32_t line);

// The operand stack of the running frame: `stack` its bottom, `top` one past
// its top value. `ip` is the next instruction, so errors name ip[-1].
inline void need(const Value* top, const Value* stack, std::ptrdiff_t count, const Instruction* ip) {
    if (top - stack < count) [[unlikely]]
        fail_stack_underflow(current_line(ip));
}
inline void room(const Value* top, const Value* stack, const Instruction* ip) {
    if (top == stack + max_stack) [[unlikely]]
        fail_stack_overflow(current_line(ip));
}
inline void push(Value*& top, const Value* stack, const Instruction* ip, const Value& v) {
    room(top, stack, ip);
    *top++ = v;
}
inline Value pop_value(Value*& top, const Value* stack, const Instruction* ip) {
    need(top, stack, 1, ip);
    return *--top;
}
// The pop, then the conversion, so a bad value is reported before a missing
// second operand.
inline std::int64_t pop_integer(Value*& top, const Value* stack, const Instruction* ip) {
    need(top, stack, 1, ip);
    return integer_of(*--top, current_line(ip));
}

// Two 32-bit numbers packed into one operand as low | high << 32.
inline std::uint32_t low(std::int64_t operand) { return static_cast<std::uint32_t>(operand); }
inline std::uint32_t high(std::int64_t operand) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(operand) >> 32);
}

// A slot as runnable code names it: by its byte offset.
inline Value& slot_at(Value* slots, std::uint64_t offset) {
    return *reinterpret_cast<Value*>(reinterpret_cast<char*>(slots) + offset);
}

// The extra operands of a fused division by a constant, from the address
// its instruction holds.
inline const DivisorOperands& divisor_operands(std::int64_t operand) {
    return *reinterpret_cast<const DivisorOperands*>(static_cast<std::uintptr_t>(operand));
}

// A fused instruction's jump: its target is `offset` bytes from it.
inline std::int32_t half_offset(std::int64_t operand) { return static_cast<std::int32_t>(high(operand)); }
inline const Instruction* jump_target(const Instruction* from, std::int64_t offset) {
    return reinterpret_cast<const Instruction*>(reinterpret_cast<const char*>(from) + offset);
}

// Two values a comparison takes without failing: numbers, or two strings.
inline bool comparable(const Value& x, const Value& y) {
    return both_numbers(x, y) || (x.is_string() && y.is_string());
}

// Whether two strings hold the same bytes: == and != on strings, inline.
// Strings compared for equality mostly differ in their length or first
// byte, and are often one byte long.
inline bool same_bytes(std::string_view x, std::string_view y) {
    if (x.size() != y.size())
        return false;
    if (x.empty())
        return true;
    return x[0] == y[0] && (x.size() == 1 || std::memcmp(x.data() + 1, y.data() + 1, x.size() - 1) == 0);
}
inline std::int64_t wrapping_add(std::int64_t x, std::int64_t y) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(x) + static_cast<std::uint64_t>(y));
}
inline std::int64_t wrapping_sub(std::int64_t x, std::int64_t y) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(x) - static_cast<std::uint64_t>(y));
}
inline std::int64_t wrapping_mul(std::int64_t x, std::int64_t y) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(x) * static_cast<std::uint64_t>(y));
}

// Integer division and modulo by this divisor can neither fail nor overflow
// (0 fails; -1 overflows for the smallest integer): the inline paths take
// only these and leave the rest to arith_operation.
inline bool plain_divisor(std::int64_t y) { return y > 0 || y < -1; }
using oxel::floored_mod;

inline Value bitwise_and_(std::int64_t x, std::int64_t y) { return Value::integer(x & y); }
inline Value bitwise_or_(std::int64_t x, std::int64_t y) { return Value::integer(x | y); }
inline Value bitwise_xor_(std::int64_t x, std::int64_t y) { return Value::integer(x ^ y); }
inline Value bitwise_shl(std::int64_t x, std::int64_t y) { return Value::integer(shift_left(x, y)); }
inline Value bitwise_shr(std::int64_t x, std::int64_t y) { return Value::integer(shift_right(x, y)); }

// What a fused arithmetic run does inline: each rule gives the integer and
// the float operation and the divisors they take (ints_ok, floats_ok); any
// other operands, and mod on floats, take the long way.
struct AddRule {
    static bool ints_ok(std::int64_t) { return true; }
    static std::int64_t ints(std::int64_t x, std::int64_t y) { return wrapping_add(x, y); }
    static bool floats_ok(double) { return true; }
    static double floats(double x, double y) { return x + y; }
};
struct SubRule {
    static bool ints_ok(std::int64_t) { return true; }
    static std::int64_t ints(std::int64_t x, std::int64_t y) { return wrapping_sub(x, y); }
    static bool floats_ok(double) { return true; }
    static double floats(double x, double y) { return x - y; }
};
struct MulRule {
    static bool ints_ok(std::int64_t) { return true; }
    static std::int64_t ints(std::int64_t x, std::int64_t y) { return wrapping_mul(x, y); }
    static bool floats_ok(double) { return true; }
    static double floats(double x, double y) { return x * y; }
};
struct DivRule {
    static bool ints_ok(std::int64_t y) { return plain_divisor(y); }
    static std::int64_t ints(std::int64_t x, std::int64_t y) { return x / y; }
    static bool floats_ok(double y) { return y != 0.0; }
    static double floats(double x, double y) { return x / y; }
};
struct ModRule {
    static bool ints_ok(std::int64_t y) { return plain_divisor(y); }
    static std::int64_t ints(std::int64_t x, std::int64_t y) { return floored_mod(x, y); }
    static bool floats_ok(double) { return false; }
    static double floats(double, double) { return 0.0; }
};

// Stores x OP y into `out` and returns true when the rule takes the
// operands; returns false, and changes nothing, otherwise. Ints are tested
// first; the float path stays inline: moved into a function of its own it
// made float-heavy loops about a fifth slower and integer loops no faster.
template <typename Rule>
inline bool fused_arithmetic(const Value& x, const Value& y, Value& out) {
    if (both_ints(x, y)) [[likely]] {
        if (!Rule::ints_ok(y.as_int()))
            return false;
        out = Value::integer(Rule::ints(x.as_int(), y.as_int()));
        return true;
    }
    if (!both_numbers(x, y))
        return false;
    const double right = y.number_as_double();
    if (!Rule::floats_ok(right))
        return false;
    out = Value::number(Rule::floats(x.number_as_double(), right));
    return true;
}

}  // namespace oxel::handlers
