// Feeds arbitrary bytes to the language server as its input stream, after
// an initialize request so that requests are answered: framing, JSON,
// dispatch and every request on whatever documents the bytes open. Any
// crash or sanitizer report is a finding; error responses are not.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lsp/server.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace oxel::lsp;
    static const std::string initialize = [] {
        std::string body = R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})";
        return frame_header(body) + body;
    }();
    std::string stream = initialize;
    stream.append(reinterpret_cast<const char*>(data), size);
    StringSource input(stream);
    std::size_t written = 0;
    serve(input, [&](std::string_view header, std::string_view body) { written += header.size() + body.size(); });
    return 0;
}
