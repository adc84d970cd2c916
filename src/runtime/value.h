// A Value is what every stack entry, variable slot and instruction result
// holds: an Int, a Float, a String or an Array, in 16 bytes. The machine and
// the runtime library build and read them; they are copied as plain records.
// Strings are views of bytes that never change afterwards (constants of the
// program image, or buffers made during the run); an Array refers directly to
// its elements. Buffers and arrays made during the run live in the run's Heap
// (heap.h), which releases them once no Value the machine holds reaches them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace oxel {

enum class ValueKind : std::uint8_t { Int = 0, Float = 1, String = 2, Array = 3 };

// Layout: `payload` holds the integer, the float's bits, the string's address
// or the address of the array's first element; `meta` holds the kind in its
// low 8 bits, the heap bit (the bytes or elements belong to the Heap) above
// them, and for strings and arrays the length from bit 9 up. An Int therefore
// has meta == 0, which makes a zeroed slot Int 0 and lets the hot path test
// two Ints with one OR.
struct Value {
    std::uint64_t payload = 0;
    std::uint64_t meta = 0;

    Value() = default;
    constexpr Value(std::uint64_t payload_bits, std::uint64_t meta_bits)
        : payload(payload_bits), meta(meta_bits) {}
    // The one rule for moving a Value: as two 8-byte words, never one
    // 16-byte block. Results are written word by word, and a 16-byte load of
    // a value just written that way waits for both stores to land instead
    // of taking their data directly.
    Value(const Value& from) { move_from(from); }
    Value& operator=(const Value& from) {
        move_from(from);
        return *this;
    }

    static constexpr std::uint64_t heap_bit = 1u << 8;
    static constexpr int length_shift = 9;

    static Value integer(std::int64_t i) { return {static_cast<std::uint64_t>(i), 0}; }
    static Value number(double f) {
        return {std::bit_cast<std::uint64_t>(f), static_cast<std::uint64_t>(ValueKind::Float)};
    }
    // A view of bytes that outlive the run (constants, texts of the image).
    static Value string(std::string_view s) {
        return {reinterpret_cast<std::uintptr_t>(s.data()),
                (static_cast<std::uint64_t>(s.size()) << length_shift) |
                    static_cast<std::uint64_t>(ValueKind::String)};
    }
    // The first `size` bytes of a Heap string buffer.
    static Value heap_string(const char* bytes, std::size_t size) {
        return {reinterpret_cast<std::uintptr_t>(bytes), (static_cast<std::uint64_t>(size) << length_shift) |
                                                             heap_bit |
                                                             static_cast<std::uint64_t>(ValueKind::String)};
    }
    // A Heap array of `length` elements.
    static Value array(std::int64_t* elements, std::uint64_t length) {
        return {reinterpret_cast<std::uintptr_t>(elements),
                (length << length_shift) | heap_bit | static_cast<std::uint64_t>(ValueKind::Array)};
    }

    ValueKind kind() const { return static_cast<ValueKind>(meta & 0xff); }
    bool is_int() const { return meta == 0; }
    bool is_float() const { return kind() == ValueKind::Float; }
    bool is_string() const { return kind() == ValueKind::String; }
    bool is_array() const { return kind() == ValueKind::Array; }
    bool is_number() const { return meta <= 1; }  // an Int or a Float
    // Bytes or elements that the Heap owns (and may release once unreachable).
    bool in_heap() const { return (meta & heap_bit) != 0; }

    std::int64_t as_int() const { return static_cast<std::int64_t>(payload); }
    double as_float() const { return std::bit_cast<double>(payload); }
    std::string_view as_string() const {
        return {reinterpret_cast<const char*>(static_cast<std::uintptr_t>(payload)),
                static_cast<std::size_t>(meta >> length_shift)};
    }
    void move_from(const Value& from) {
        std::uint64_t p = from.payload, m = from.meta;
#if defined(__GNUC__) || defined(__clang__)
        asm("" : "+r"(p), "+r"(m));  // keeps the compiler from merging the words
#endif
        payload = p;
        meta = m;
    }

    // An Int or a Float as a double.
    double number_as_double() const { return is_int() ? static_cast<double>(as_int()) : as_float(); }
    // Arrays: the elements, and how many there are (1 to 1,000,000).
    std::int64_t* array_elements() const {
        return reinterpret_cast<std::int64_t*>(static_cast<std::uintptr_t>(payload));
    }
    std::uint64_t array_length() const { return meta >> length_shift; }
};
static_assert(sizeof(Value) == 16);

// Every one-byte string, side by side, for as long as the program runs.
inline constexpr std::array<char, 256> one_byte_texts = [] {
    std::array<char, 256> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}();
// The string of one byte: a view into that table, so a result of one byte
// takes no buffer of its own (strings never change once made, so sharing
// one cannot be seen).
inline Value one_byte_string(unsigned char byte) { return Value::string({&one_byte_texts[byte], 1}); }

// Tests on two values at once, for the fast paths of binary operations.
inline bool both_ints(const Value& x, const Value& y) { return (x.meta | y.meta) == 0; }
inline bool both_numbers(const Value& x, const Value& y) { return (x.meta | y.meta) <= 1; }

// A number taken from a value: an integer or a float, and which.
struct Number {
    bool is_float;
    std::int64_t i;
    double f;
    double as_double() const { return is_float ? f : static_cast<double>(i); }
};

// Conversions shared by many instructions. `line` is the line charged to an
// error; each failure goes through report_error and does not return.
Number number_of(const Value& v, std::uint32_t line);         // "Not a number", "Array is not a number"
std::int64_t integer_of(const Value& v, std::uint32_t line);  // also "Number too large"
bool is_truthy(const Value& v);

}  // namespace oxel
