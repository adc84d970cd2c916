#include <gtest/gtest.h>

#include "protocol/message_stream.h"

namespace oxel::protocol {
namespace {

// Each frame read as "message:<body>", "malformed" or nothing more at the end.
std::vector<std::string> frames_of(std::string_view bytes) {
    StringSource source(bytes);
    MessageReader reader(source);
    std::vector<std::string> found;
    for (Frame frame = reader.next(); frame.kind != Frame::Kind::end; frame = reader.next())
        found.push_back(frame.kind == Frame::Kind::message ? "message:" + frame.body : "malformed");
    return found;
}

TEST(LspFraming, ReadsEveryFrameAndFallsBackInStep) {
    using List = std::vector<std::string>;
    struct Case {
        std::string bytes;
        List frames;
    };
    const std::string huge = "Content-Length: " + std::to_string(max_body + 1) + "\r\n\r\n" +
                             std::string(max_body + 1, 'x');
    const Case cases[] = {
        {"Content-Length: 2\r\n\r\n{}", {"message:{}"}},
        {"Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]", {"message:{}", "message:[1]"}},
        {"content-length:2\n\n{}", {"message:{}"}},  // any case, bare line feeds
        {"Content-Length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}", {"message:{}"}},
        {"\r\n\r\nContent-Length: 1\r\n\r\n1", {"message:1"}},  // blank lines before a header
        // broken headers, each one malformed frame, then the next message
        {"Content-Type: x\r\n\r\nContent-Length: 1\r\n\r\n1", {"malformed", "message:1"}},
        {"Content-Length: -1\r\n\r\nContent-Length: 1\r\n\r\n1", {"malformed", "message:1"}},
        {"Content-Length: 1x\r\n\r\n", {"malformed"}},
        {"Content-Length: 99999999999999999999999\r\n\r\n", {"malformed"}},
        {"Content-Length:\r\n\r\n", {"malformed"}},
        {std::string("\x01\xFF\x00garbage\r\n\r\nContent-Length: 1\r\n\r\n1", 36), {"malformed", "message:1"}},
        {std::string(5000, 'h') + "\r\n\r\nContent-Length: 1\r\n\r\n1", {"malformed", "message:1"}},
        // a length too short leaves bytes that run into the next header
        {"Content-Length: 1\r\n\r\n{}Content-Length: 1\r\n\r\n2", {"message:{", "message:2"}},
        // a body larger than the limit is skipped unread
        {huge + "Content-Length: 1\r\n\r\n3", {"malformed", "message:3"}},
        // the end of input inside a header or a body ends the stream
        {"Content-Len", {}},
        {"Content-Length: 5\r\n\r\nab", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(frames_of(c.bytes), c.frames) << c.bytes.substr(0, 80);
}

TEST(LspFraming, HeaderCountsBytes) {
    EXPECT_EQ(frame_header("{\"a\":\"\xC3\xA9\"}"), "Content-Length: 10\r\n\r\n");
}

}  // namespace
}  // namespace oxel::protocol
