// Reading a stopped program: its frames, their named variables, and values
// as a debugger shows them. Only while the program's thread waits (see
// debugger.h); nothing here changes the run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "machine/machine.h"
#include "runtime/value.h"

namespace oxel::dbg {

struct FrameView {
    std::string_view function;  // the chunk's name, "__top" for the top level
    std::string_view file;      // of the statement it is in
    std::uint32_t line = 0;
};

struct Local {
    std::string_view name;
    std::uint32_t slot;
    Value value;
};

// The frames of a machine stopped in a report, innermost first.
std::vector<FrameView> frames_of(const Machine& machine);
// The named variables of frame `index` (innermost 0), in slot order.
std::vector<Local> locals_of(const Machine& machine, std::size_t index);

// "Int", "Float", "String" or "Array".
std::string_view kind_name(const Value& value);
// A value as the debugger shows it: a number's text as echo writes it; a
// string quoted, with quotes, backslashes and bytes outside printable ASCII
// escaped; an array as "Array(N)".
std::string show(const Value& value);
// An array's elements, as "[1, 2, 3]", cut after `most` elements with "...".
std::string show_elements(const Value& array, std::size_t most);

// A breakpoint's condition: `NAME == value`, the value an Int, a Float or a
// quoted string (with the escapes show() writes).
struct Condition {
    std::string name;
    std::variant<std::int64_t, double, std::string> value;
};
// Nothing when the text is not of that form.
std::optional<Condition> parse_condition(std::string_view text);
// Whether the condition holds in the innermost frame; false when it names
// no variable there. An Int and a Float compare as numbers.
bool holds(const Condition& condition, const Machine& machine);

}  // namespace oxel::dbg
