// The framing of the language server's and the debug adapter's protocols: each message is a header block of
// `Name: value` lines, each ended by "\r\n" (a bare "\n" is accepted), then
// an empty line, then exactly Content-Length bytes of JSON. The reader takes
// its bytes from any ByteSource (standard input, or a string in the tests
// and the fuzz target) and never trusts them: a header line longer than
// max_header_line or holding bytes that are not printable ASCII, a block
// without a valid Content-Length, or a body over max_body are each reported
// as one malformed frame, and reading goes on with the next block. A line
// that holds "Content-Length:" after other bytes (the rest of a message
// whose length was wrong) is read from there, so the stream falls back in step.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace oxel::protocol {

inline constexpr std::size_t max_header_line = 1024;
inline constexpr std::size_t max_body = std::size_t{64} << 20;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `count` bytes into buffer; 0 only at end of input.
    virtual std::size_t read(char* buffer, std::size_t count) = 0;
};

class StringSource final : public ByteSource {
public:
    explicit StringSource(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(char* buffer, std::size_t count) override;

private:
    std::string_view bytes_;
};

struct Frame {
    enum class Kind { message, malformed, end };
    Kind kind;
    std::string body;  // the message's bytes; for a malformed frame, why
};

class MessageReader {
public:
    explicit MessageReader(ByteSource& source) : source_(source) {}
    Frame next();

private:
    ByteSource& source_;
    std::string buffer_;
    std::size_t next_ = 0;
    bool ended_ = false;

    bool fill();  // false at end of input
    // One header line without its end; false at end of input. `too_long`
    // when it was cut at max_header_line (the rest is skipped).
    bool read_line(std::string& line, bool& too_long);
    // Takes `count` bytes into `body`, or skips them when body is null;
    // false when input ended first.
    bool take(std::size_t count, std::string* body);
};

// The header and the body of one message, ready to write in that order.
std::string frame_header(std::string_view body);

}  // namespace oxel::protocol
