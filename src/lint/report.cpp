// The two report forms: the one compilers use, for people, and JSON, for
// editors.
#include "lint/lint.h"

namespace oxel::lint {

namespace {

// Bytes of a well-formed UTF-8 sequence starting at `at`, or 0.
std::size_t utf8_length(std::string_view text, std::size_t at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
            return 0;
    }
    unsigned char second = static_cast<unsigned char>(text[at + 1]);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F)) {
        return 0;  // overlong, surrogate or beyond U+10FFFF
    }
    return length;
}

// A JSON string; bytes that are not UTF-8 become U+FFFD, since the texts are
// bytes in no particular encoding.
void append_json_string(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (std::size_t length = utf8_length(text, i)) {
            out += text.substr(i, length);
            i += length - 1;
        } else {
            out += "\\ufffd";
        }
    }
    out += '"';
}

}  // namespace

std::string format_text(const Finding& finding) {
    std::string out = finding.path + ":" + std::to_string(finding.line) + ":" +
                      std::to_string(finding.column) +
                      (finding.severity == Severity::error ? ": error: " : ": warning: ") + finding.message;
    if (!finding.name.empty())
        out += " [" + finding.name + "]";
    out += '\n';
    if (finding.source.empty())
        return out;
    out += finding.source;
    out += '\n';
    // tabs stay tabs, so the caret and the line under the rest of the range
    // line up however they are shown
    for (std::size_t i = 0; i + 1 < finding.column && i < finding.source.size(); ++i)
        out += finding.source[i] == '\t' ? '\t' : ' ';
    out += '^';
    for (std::size_t i = finding.column; i < finding.last_column && i < finding.source.size(); ++i)
        out += finding.source[i] == '\t' ? '\t' : '~';
    out += '\n';
    return out;
}

std::string format_json(std::span<const Finding> findings) {
    std::string out = "[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const Finding& finding = findings[i];
        out += i == 0 ? "\n  {" : ",\n  {";
        out += "\"path\": ";
        append_json_string(out, finding.path);
        out += ", \"line\": " + std::to_string(finding.line);
        out += ", \"column\": " + std::to_string(finding.column);
        out += ", \"end_column\": " + std::to_string(finding.last_column);
        out +=
            finding.severity == Severity::error ? ", \"severity\": \"error\"" : ", \"severity\": \"warning\"";
        if (!finding.name.empty()) {
            out += ", \"name\": ";
            append_json_string(out, finding.name);
        }
        out += ", \"message\": ";
        append_json_string(out, finding.message);
        out += ", \"source\": ";
        append_json_string(out, finding.source);
        if (!finding.fix.empty()) {
            out += ", \"fix\": ";
            append_json_string(out, finding.fix);
        }
        out += "}";
    }
    out += findings.empty() ? "]\n" : "\n]\n";
    return out;
}

}  // namespace oxel::lint
