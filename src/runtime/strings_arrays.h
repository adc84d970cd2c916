// String and array instructions: len, charat, cmpstr, cat, newarr, arrget,
// arrset. `line` is the executing instruction's line, charged to errors.
#pragma once

#include <cstdint>

#include "runtime/heap.h"
#include "runtime/value.h"

namespace oxel {

std::int64_t length_of(const Value& v, std::uint32_t line);
std::int64_t byte_at(const Value& s, std::int64_t index, std::uint32_t line);
std::int64_t compare_strings(const Value& x, const Value& y, std::uint32_t line);
// The text of x then the text of y.
Value concatenate(const Value& x, const Value& y, Heap& heap, std::uint32_t line);

Value new_array(Heap& heap, std::int64_t size, std::uint32_t line);
std::int64_t array_get(const Value& array, std::int64_t index, std::uint32_t line);
void array_set(const Value& array, std::int64_t index, std::int64_t element, std::uint32_t line);

}  // namespace oxel
