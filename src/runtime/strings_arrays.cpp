#include "runtime/strings_arrays.h"

#include <cstring>
#include <string>

#include "base/error_report.h"
#include "runtime/arithmetic.h"
#include "runtime/number_text.h"
#include "runtime/value_text.h"

namespace oxel {

namespace {

constexpr std::int64_t max_array_length = 1'000'000;

[[noreturn]] void report_out_of_bounds(std::int64_t index, std::uint64_t length, std::uint32_t line) {
    std::string detail;
    append_integer(detail, index);
    detail += " out of bounds (len ";
    detail += std::to_string(length);
    detail += ')';
    report_error(FailureKind::index_out_of_bounds, detail, line);
}

// The element an arrget or arrset reaches, after the kind and bounds checks.
std::int64_t& element_of(const Value& array, std::int64_t index, std::uint32_t line) {
    if (!array.is_array())
        report_error(FailureKind::not_an_array, line);
    if (index < 0 || static_cast<std::uint64_t>(index) >= array.array_length())
        report_out_of_bounds(index, array.array_length(), line);
    return array.array_elements()[index];
}

}  // namespace

std::int64_t length_of(const Value& v, std::uint32_t line) {
    if (v.is_string())
        return static_cast<std::int64_t>(v.as_string().size());
    if (v.is_array())
        return static_cast<std::int64_t>(v.array_length());
    report_error(FailureKind::len_operand, line);
}

std::int64_t byte_at(const Value& s, std::int64_t index, std::uint32_t line) {
    if (!s.is_string())
        report_error(FailureKind::char_operand, line);
    const std::string_view bytes = s.as_string();
    if (index < 0 || static_cast<std::uint64_t>(index) >= bytes.size()) {
        report_out_of_bounds(index, bytes.size(), line);
    }
    return static_cast<unsigned char>(bytes[static_cast<std::size_t>(index)]);
}

std::int64_t compare_strings(const Value& x, const Value& y, std::uint32_t line) {
    if (!x.is_string() || !y.is_string())
        report_error(FailureKind::cmp_operands, line);
    return byte_order(x.as_string(), y.as_string());
}

// Repeated `s = cat s, x` must not copy s every time. When x ends exactly
// where its buffer's claimed bytes end and y fits in the room behind them, y
// is appended there and the result is a longer view of the same bytes; views
// made before keep their own length and see nothing change. When x is such a
// string but the room is used up, the new buffer gets room for as much again,
// so building a string of n bytes copies O(n) bytes in total, however many
// strings are built side by side. Any other result gets a buffer of its size.
Value concatenate(const Value& x, const Value& y, Heap& heap, std::uint32_t line) {
    if (x.is_array() || y.is_array())
        report_error(FailureKind::cannot_stringify_array, line);
    TextBuffer x_buffer;
    TextBuffer y_buffer;
    const std::string_view tx = text_of(x, x_buffer);
    const std::string_view ty = text_of(y, y_buffer);
    // Strings never change, so an empty side lets the other string stand.
    if (ty.empty() && !x.is_int() && !x.is_float())
        return x;
    if (tx.empty() && !y.is_int() && !y.is_float())
        return y;

    const std::size_t size = tx.size() + ty.size();
    if (x.is_string()) {
        if (char* room = heap.extend(x, ty.size())) {
            std::memcpy(room, ty.data(), ty.size());
            return Value::heap_string(tx.data(), size);
        }
    }
    const std::size_t capacity = x.is_string() && heap.ends_its_buffer(x) ? 2 * size : size;
    // x and y are read after the allocation: it must keep them.
    const Heap::Pinned operands(heap, x, y);
    char* buffer = heap.allocate_string(size, capacity);
    if (!tx.empty())
        std::memcpy(buffer, tx.data(), tx.size());
    if (!ty.empty())
        std::memcpy(buffer + tx.size(), ty.data(), ty.size());
    return Value::heap_string(buffer, size);
}

Value new_array(Heap& heap, std::int64_t size, std::uint32_t line) {
    if (size < 1 || size > max_array_length) {
        std::string size_text;
        append_integer(size_text, size);
        report_error(FailureKind::bad_array_size, size_text, line);
    }
    const auto length = static_cast<std::uint64_t>(size);
    return Value::array(heap.allocate_array(length), length);  // zeroed
}

std::int64_t array_get(const Value& array, std::int64_t index, std::uint32_t line) {
    return element_of(array, index, line);
}

void array_set(const Value& array, std::int64_t index, std::int64_t element, std::uint32_t line) {
    element_of(array, index, line) = element;
}

}  // namespace oxel
