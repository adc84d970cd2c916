// Number text: the grammar around <charconv>. std::from_chars does the
// correctly rounded reading and std::to_chars the shortest round-trip digits;
// this file checks the forms Oxel accepts and lays the digits out without an
// exponent. Nothing here allocates for ordinary texts: these run whenever a
// string is used as a number.
#include "runtime/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace oxel {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Folds an ASCII letter to lower case; other bytes never fold onto a letter.
char lower(char c) { return static_cast<char>(c | 0x20); }

// Case-insensitive match against a lower-case word.
bool is_word(std::string_view text, std::string_view word) {
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (lower(text[i]) != word[i])
            return false;
    }
    return true;
}

// A left-to-right scan of a float's text after its sign.
struct FloatScan {
    std::string_view text;
    std::size_t pos = 0;
    std::size_t underscores = 0;  // all of them sit between two digits

    bool at(char c) const { return pos < text.size() && text[pos] == c; }
    bool at_letter(char c) const { return pos < text.size() && lower(text[pos]) == c; }

    // Reads a run of digits and returns how many it held. An underscore
    // belongs to the run only with a digit directly on each side.
    std::size_t digit_run(bool (*digit)(char)) {
        const std::size_t start = pos;
        std::size_t digits = 0;
        for (; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (digit(c)) {
                ++digits;
            } else if (c == '_' && pos > start && digit(text[pos - 1]) && pos + 1 < text.size() &&
                       digit(text[pos + 1])) {
                ++underscores;
            } else {
                break;
            }
        }
        return digits;
    }

    // digits [. digits] [e [sign] digits], or after "0x" the same with hex
    // digits in the mantissa and p before the (decimal) exponent.
    bool number(bool hex) {
        const auto mantissa_digit = hex ? is_hex_digit : is_digit;
        pos = hex ? 2 : 0;
        std::size_t digits = digit_run(mantissa_digit);
        if (at('.')) {
            ++pos;
            digits += digit_run(mantissa_digit);
        }
        if (digits == 0)
            return false;
        if (at_letter(hex ? 'p' : 'e')) {
            ++pos;
            if (at('+') || at('-'))
                ++pos;
            if (digit_run(is_digit) == 0)
                return false;
        }
        return pos == text.size();
    }
};

// from_chars leaves the value unset when the result rounds to zero or to
// infinity. Those lie far apart (below 2.5e-324, from 1.8e308 up), so the
// power of the leading nonzero digit tells which one it was. `clean` is the
// text handed to from_chars: no sign, no prefix, no underscores.
double out_of_range_value(std::string_view clean, bool hex) {
    const char exponent_mark = hex ? 'p' : 'e';
    std::int64_t integer_digits = 0;
    std::int64_t leading = -1;  // index of the first nonzero digit
    std::int64_t index = 0;
    bool fraction = false;
    std::size_t i = 0;
    for (; i < clean.size() && lower(clean[i]) != exponent_mark; ++i) {
        if (clean[i] == '.') {
            fraction = true;
            continue;
        }
        if (!fraction)
            ++integer_digits;
        if (leading < 0 && clean[i] != '0')
            leading = index;
        ++index;
    }
    if (leading < 0)
        return 0.0;

    // Saturate the exponent: anything this large decides the question alone.
    constexpr std::int64_t exponent_cap = 1'000'000'000'000;
    std::int64_t exponent = 0;
    bool exponent_negative = false;
    if (i < clean.size()) {
        ++i;
        if (clean[i] == '+' || clean[i] == '-')
            exponent_negative = clean[i++] == '-';
        for (; i < clean.size(); ++i) {
            if (exponent < exponent_cap)
                exponent = exponent * 10 + (clean[i] - '0');
        }
    }
    if (exponent_negative)
        exponent = -exponent;

    const std::int64_t digit_power = integer_digits - 1 - leading;
    const std::int64_t scale = (hex ? 4 * digit_power : digit_power) + exponent;
    return scale >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

}  // namespace

IntegerParse parse_integer(std::string_view text) {
    IntegerParse result;  // invalid_character until proven otherwise
    bool negative = false;
    std::string_view digits = text;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.front() == '_' || digits.back() == '_')
        return result;

    // Negative values accumulate downwards so that INT64_MIN is reachable.
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c == '_')
            continue;
        if (!is_digit(c))
            return result;
        const int d = c - '0';
        // value * 10 -/+ d must stay in range (division truncates towards zero).
        constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
        constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
        const bool overflow = negative ? value < (lowest + d) / 10 : value > (highest - d) / 10;
        if (overflow) {
            result.error = IntegerParseError::overflow;
            return result;
        }
        value = negative ? value * 10 - d : value * 10 + d;
    }
    result.value = value;
    result.ok = true;
    return result;
}

std::optional<double> parse_float(std::string_view text) {
    bool negative = false;
    std::string_view body = text;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    if (body.empty())
        return std::nullopt;

    constexpr double infinity = std::numeric_limits<double>::infinity();
    if (is_word(body, "inf") || is_word(body, "infinity"))
        return negative ? -infinity : infinity;
    if (is_word(body, "nan"))
        return std::numeric_limits<double>::quiet_NaN();  // sign bit clear

    const bool hex = body.size() >= 2 && body[0] == '0' && lower(body[1]) == 'x';
    FloatScan scan{body};
    if (!scan.number(hex))
        return std::nullopt;

    // from_chars sees neither the sign nor the prefix, and no underscores.
    std::string_view clean = body.substr(hex ? 2 : 0);
    constexpr std::size_t local_size = 64;  // longer texts with underscores use the heap
    char local[local_size];
    std::string heap;
    if (scan.underscores != 0) {
        const std::size_t size = clean.size() - scan.underscores;
        char* out = local;
        if (size > local_size) {
            heap.resize(size);
            out = heap.data();
        }
        char* w = out;
        for (const char c : clean) {
            if (c != '_')
                *w++ = c;
        }
        clean = {out, size};
    }

    double value = 0.0;
    const char* end = clean.data() + clean.size();
    const auto parsed =
        std::from_chars(clean.data(), end, value, hex ? std::chars_format::hex : std::chars_format::general);
    if (parsed.ec == std::errc::result_out_of_range) {
        value = out_of_range_value(clean, hex);
    } else if (parsed.ec != std::errc() || parsed.ptr != end) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

bool is_float_literal(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.find('.') == std::string_view::npos)
        return false;
    if (text[0] != '-' && !is_digit(text[0]))
        return false;
    return parse_float(text).has_value();
}

char* write_integer(char* out, std::int64_t value) {
    // The magnitude as unsigned: negating INT64_MIN in signed arithmetic overflows.
    const auto bits = static_cast<std::uint64_t>(value);
    const std::uint64_t magnitude = value < 0 ? 0 - bits : bits;
    if (value < 0)
        *out++ = '-';
    return std::to_chars(out, out + 20, magnitude).ptr;  // UINT64_MAX has 20 digits
}

void append_integer(std::string& out, std::int64_t value) {
    char text[max_number_text];
    out.append(text, write_integer(text, value));
}

std::string format_integer(std::int64_t value) {
    std::string out;
    append_integer(out, value);
    return out;
}

namespace {

char* write_text(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

}  // namespace

char* write_float(char* out, double value) {
    const bool negative = std::signbit(value);
    if (std::isnan(value))
        return write_text(out, negative ? "-nan" : "nan");
    if (std::isinf(value))
        return write_text(out, negative ? "-inf" : "inf");
    if (value == 0.0)
        return write_text(out, negative ? "-0" : "0");

    // Shortest digits and their exponent from the scientific form
    // d[.ddd]e±x; the fixed form without a precision is not shortest for
    // large values (1e23 would come out as 99999999999999991611392).
    char scientific[32];  // "1.7976931348623157e+308" is the longest
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                       std::chars_format::scientific);
    char digits[17];  // at most 17 significant digits for a binary64
    int count = 0;
    const char* p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p != '.')
            digits[count++] = *p;
    }
    ++p;
    const bool exponent_negative = *p++ == '-';
    int exponent = 0;
    for (; p != written.ptr; ++p)
        exponent = exponent * 10 + (*p - '0');
    if (exponent_negative)
        exponent = -exponent;

    // value = digits × 10^power; `point` digits stand before the point.
    const int power = exponent - (count - 1);
    const int point = count + power;
    char* w = out;
    if (negative)
        *w++ = '-';
    if (power >= 0) {
        std::memcpy(w, digits, count);
        std::memset(w + count, '0', power);
        return w + point;
    }
    if (point > 0) {
        std::memcpy(w, digits, point);
        w[point] = '.';
        std::memcpy(w + point + 1, digits + point, count - point);
        return w + count + 1;
    }
    w[0] = '0';
    w[1] = '.';
    std::memset(w + 2, '0', -point);
    std::memcpy(w + 2 - point, digits, count);
    return w + 2 - point + count;
}

void append_float(std::string& out, double value) {
    char text[max_number_text];
    out.append(text, write_float(text, value));
}

std::string format_float(double value) {
    std::string out;
    append_float(out, value);
    return out;
}

}  // namespace oxel
