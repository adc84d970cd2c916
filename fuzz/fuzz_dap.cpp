// Feeds arbitrary bytes to the debug adapter as its input stream, after an
// initialize request: framing, JSON, dispatch and every request that needs
// no program (launching is off, so the bytes run nothing and change no
// folder). Any crash or sanitizer report is a finding; error responses are not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dbg/adapter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oxel;
    static const std::string initialize = [] {
        std::string body = R"({"seq":1,"type":"request","command":"initialize","arguments":{}})";
        return protocol::frame_header(body) + body;
    }();
    std::string stream = initialize;
    stream.append(reinterpret_cast<const char*>(data), size);
    protocol::StringSource input(stream);
    std::size_t written = 0;
    dbg::serve_adapter(
        input, [&](std::string_view header, std::string_view body) { written += header.size() + body.size(); },
        false);
    return 0;
}
