// String and array instructions: len, charat, cmpstr, cat, newarr, arrget,
// arrset. `line` is the executing instruction's line, charged to errors.
#pragma once

#include <cstdint>

#include "runtime/string_arena.h"
#include "runtime/value.h"

namespace oxel {

std::int64_t length_of(const Value& v, const ArrayTable& arrays, std::uint32_t line);
std::int64_t byte_at(const Value& s, std::int64_t index, std::uint32_t line);
std::int64_t compare_strings(const Value& x, const Value& y, std::uint32_t line);
// The text of x then the text of y, in one new buffer.
Value concatenate(const Value& x, const Value& y, StringArena& arena, std::uint32_t line);

Value new_array(ArrayTable& arrays, std::int64_t size, std::uint32_t line);
std::int64_t array_get(const ArrayTable& arrays, const Value& array, std::int64_t index, std::uint32_t line);
void array_set(ArrayTable& arrays, const Value& array, std::int64_t index, std::int64_t element,
               std::uint32_t line);

}  // namespace oxel
