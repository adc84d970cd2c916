// Reading framed messages from an untrusted stream.
#include "protocol/message_stream.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace oxel::protocol {

namespace {

constexpr std::string_view length_header = "Content-Length:";
constexpr std::size_t block_size = 65536;

bool same_letters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

bool printable(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == '\t' || (c >= ' ' && c <= '~'); });
}

}  // namespace

std::size_t StringSource::read(char* buffer, std::size_t count) {
    std::size_t taken = std::min(count, bytes_.size());
    std::memcpy(buffer, bytes_.data(), taken);
    bytes_.remove_prefix(taken);
    return taken;
}

bool MessageReader::fill() {
    if (next_ < buffer_.size())
        return true;
    if (ended_)
        return false;
    buffer_.resize(block_size);
    next_ = 0;
    std::size_t got = source_.read(buffer_.data(), buffer_.size());
    buffer_.resize(got);
    ended_ = got == 0;
    return got != 0;
}

bool MessageReader::read_line(std::string& line, bool& too_long) {
    line.clear();
    too_long = false;
    for (;;) {
        if (!fill())
            return false;
        const char* begin = buffer_.data() + next_;
        const char* end = buffer_.data() + buffer_.size();
        const char* feed = std::find(begin, end, '\n');
        std::size_t room = max_header_line - line.size();
        std::size_t piece = static_cast<std::size_t>(feed - begin);
        line.append(begin, std::min(piece, room));
        too_long = too_long || piece > room;
        next_ += piece;
        if (feed != end) {
            ++next_;
            if (line.ends_with('\r'))
                line.pop_back();
            return true;
        }
    }
}

bool MessageReader::take(std::size_t count, std::string* body) {
    if (body)
        body->reserve(count);
    while (count > 0) {
        if (!fill())
            return false;
        std::size_t piece = std::min(count, buffer_.size() - next_);
        if (body)
            body->append(buffer_, next_, piece);
        next_ += piece;
        count -= piece;
    }
    return true;
}

Frame MessageReader::next() {
    std::string line;
    std::string problem;
    std::size_t length = 0;
    bool has_length = false;
    bool any_line = false;
    for (;;) {
        bool too_long = false;
        if (!read_line(line, too_long))
            return Frame{Frame::Kind::end, {}};
        if (line.empty() && !too_long) {
            if (!any_line)
                continue;  // blank lines between messages
            break;
        }
        any_line = true;
        if (std::size_t at = line.find(length_header); at != std::string::npos && at > 0) {
            line.erase(0, at);  // stray bytes before a header: fall back in step here
            problem = "bytes before a header";
        }
        std::size_t colon = line.find(':');
        if (too_long || !printable(line) || colon == std::string::npos) {
            problem = "malformed header line";
            continue;
        }
        if (!same_letters(std::string_view(line).substr(0, colon + 1), length_header))
            continue;  // Content-Type and others: the body is always UTF-8 JSON
        std::string_view value(line);
        value.remove_prefix(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
        if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
            problem = "bad Content-Length";
            has_length = false;
            continue;
        }
        has_length = true;
    }
    if (!has_length && problem.empty())
        problem = "no Content-Length";
    if (has_length && length > max_body) {
        problem = "message too large";
        has_length = false;
        if (!take(length, nullptr))
            return Frame{Frame::Kind::end, {}};
    }
    if (!problem.empty() && !has_length)
        return Frame{Frame::Kind::malformed, problem};
    Frame frame{Frame::Kind::message, {}};
    if (!take(length, &frame.body))
        return Frame{Frame::Kind::end, {}};
    return frame;
}

std::string frame_header(std::string_view body) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, body.size());
    (void)error;  // 24 digits hold any size
    return std::string(length_header) + " " + std::string(digits, end) + "\r\n\r\n";
}

}  // namespace oxel::protocol
