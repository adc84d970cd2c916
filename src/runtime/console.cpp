#include "runtime/console.h"

#include <string>

#include "base/platform.h"
#include "runtime/number_text.h"
#include "runtime/value_text.h"

namespace oxel {

namespace {

// Bytes one input reads at most; the rest of a longer line stays unread for
// the next input.
constexpr std::size_t max_input_line = 4096;

}  // namespace

void print_value(const Value& v) {
    TextBuffer buffer;
    platform::write_stdout(text_of(v, buffer), "\n");
}

Value read_input_line(Heap& heap) {
    char line[max_input_line];
    std::size_t stored = 0;
    // Byte by byte, so nothing past the line feed is consumed.
    while (stored < max_input_line) {
        const auto byte = platform::read_stdin_byte();
        if (!byte || *byte == '\n')
            break;  // end of input and failure end the line too
        line[stored++] = static_cast<char>(*byte);
    }
    if (stored > 0 && line[stored - 1] == '\r')
        --stored;

    std::string_view text(line, stored);
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return Value::integer(0);
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (const IntegerParse parsed = parse_integer(text); parsed.ok)
        return Value::integer(parsed.value);
    return heap.make_string(text);
}

// The compiler always passes the statement's text. Any other value shows as
// echo would print it, inside the same banner.
void write_vga_banner(const Value& v) {
    TextBuffer buffer;
    std::string banner = "[VGA ";
    banner += text_of(v, buffer);
    banner += " initialized]";
    platform::write_stdout(banner, "\n");
}

}  // namespace oxel
