// How far one name is from another, for the checks that suggest the name a
// slip was meant as: a misspelt statement word, call or variable.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace oxel::lint {

// Edits (a byte changed, added or dropped, or two neighbours swapped) that
// turn `a` into `b`.
std::size_t edit_distance(std::string_view a, std::string_view b);

// `name` is close enough to `known` to be a slip for it: one edit when
// either has three bytes or more, two when both have six, and never the
// name itself.
bool is_near(std::string_view name, std::string_view known);

// The first of `known` nearest to `name`, if one is near; empty otherwise.
std::string nearest_name(std::string_view name, std::span<const std::string> known);

}  // namespace oxel::lint
