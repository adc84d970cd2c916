#include "dbg/shown_values.h"

#include "protocol/hex_digit.h"

#include <charconv>

#include "runtime/number_text.h"

namespace oxel::dbg {

namespace {

using protocol::hex_value;

constexpr char hex_digits[] = "0123456789abcdef";

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool is_name(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return !(text.front() >= '0' && text.front() <= '9');
}

// The bytes of a quoted string, undoing show()'s escapes.
std::optional<std::string> unquote(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        return std::nullopt;
    text = text.substr(1, text.size() - 2);
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"')
            return std::nullopt;
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
            case '\\': bytes += '\\'; break;
            case '"': bytes += '"'; break;
            case 'n': bytes += '\n'; break;
            case 't': bytes += '\t'; break;
            case 'r': bytes += '\r'; break;
            case 'x': {
                if (i + 2 >= text.size())
                    return std::nullopt;
                const int high = hex_value(text[i + 1]);
                const int low = hex_value(text[i + 2]);
                if (high < 0 || low < 0)
                    return std::nullopt;
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace

std::vector<FrameView> frames_of(const Machine& machine) {
    std::vector<FrameView> views;
    for (std::uint64_t f = machine.frame_count; f-- > 0;) {
        const Frame& frame = machine.frames[f];
        FrameView view{frame.chunk->name, {}, 0};
        const std::uint32_t c = machine.chunk_index(frame);
        if (const StatementStart* at = machine.statement_of(frame)) {
            view.file = at->file;
            view.line = at->line;
        } else if (c < machine.debug.chunks.size()) {
            // Entered, before its first statement: where it is defined.
            view.file = machine.debug.chunks[c].file;
            view.line = machine.debug.chunks[c].line;
        }
        views.push_back(view);
    }
    return views;
}

std::vector<Local> locals_of(const Machine& machine, std::size_t index) {
    std::vector<Local> found;
    if (index >= machine.frame_count)
        return found;
    const Frame& frame = machine.frames[machine.frame_count - 1 - index];
    const std::uint32_t c = machine.chunk_index(frame);
    if (c >= machine.debug.chunks.size())
        return found;
    const std::vector<std::string_view>& names = machine.debug.chunks[c].slot_names;
    for (std::uint32_t slot = 0; slot < names.size() && slot < frame.slot_count; ++slot)
        if (!names[slot].empty())
            found.push_back(Local{names[slot], slot, frame.slots[slot]});
    return found;
}

std::string_view kind_name(const Value& value) {
    switch (value.kind()) {
        case ValueKind::Int: return "Int";
        case ValueKind::Float: return "Float";
        case ValueKind::String: return "String";
        case ValueKind::Array: return "Array";
    }
    return "?";
}

std::string show(const Value& value) {
    switch (value.kind()) {
        case ValueKind::Int:
            return format_integer(value.as_int());
        case ValueKind::Float:
            return format_float(value.as_float());
        case ValueKind::Array:
            return "Array(" + std::to_string(value.array_length()) + ")";
        case ValueKind::String:
            break;
    }
    std::string text = "\"";
    for (char c : value.as_string()) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': text += "\\\""; continue;
            case '\\': text += "\\\\"; continue;
            case '\n': text += "\\n"; continue;
            case '\t': text += "\\t"; continue;
            case '\r': text += "\\r"; continue;
            default: break;
        }
        if (byte < 0x20 || byte >= 0x7f) {
            text += "\\x";
            text += hex_digits[byte >> 4];
            text += hex_digits[byte & 15];
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string show_elements(const Value& array, std::size_t most) {
    std::string text = "[";
    const std::uint64_t length = array.array_length();
    for (std::uint64_t i = 0; i < length; ++i) {
        if (i > 0)
            text += ", ";
        if (i == most) {
            text += "...";
            break;
        }
        text += format_integer(array.array_elements()[i]);
    }
    return text + "]";
}

std::optional<Condition> parse_condition(std::string_view text) {
    const std::size_t equals = text.find("==");
    if (equals == std::string_view::npos)
        return std::nullopt;
    Condition condition;
    const std::string_view name = trimmed(text.substr(0, equals));
    const std::string_view value = trimmed(text.substr(equals + 2));
    if (!is_name(name) || value.empty())
        return std::nullopt;
    condition.name = name;
    if (value.front() == '"') {
        std::optional<std::string> bytes = unquote(value);
        if (!bytes)
            return std::nullopt;
        condition.value = std::move(*bytes);
        return condition;
    }
    const char* const end = value.data() + value.size();
    std::int64_t integer = 0;
    if (auto [at, error] = std::from_chars(value.data(), end, integer); error == std::errc() && at == end) {
        condition.value = integer;
        return condition;
    }
    double number = 0;
    if (auto [at, error] = std::from_chars(value.data(), end, number); error == std::errc() && at == end) {
        condition.value = number;
        return condition;
    }
    return std::nullopt;
}

bool holds(const Condition& condition, const Machine& machine) {
    for (const Local& local : locals_of(machine, 0)) {
        if (local.name != condition.name)
            continue;
        const Value& v = local.value;
        if (const auto* bytes = std::get_if<std::string>(&condition.value))
            return v.is_string() && v.as_string() == *bytes;
        if (!v.is_number())
            return false;
        if (const auto* integer = std::get_if<std::int64_t>(&condition.value))
            return v.is_int() ? v.as_int() == *integer : v.as_float() == static_cast<double>(*integer);
        return v.number_as_double() == std::get<double>(condition.value);
    }
    return false;
}

}  // namespace oxel::dbg
