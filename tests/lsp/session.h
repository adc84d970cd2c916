// A server fed in memory: messages in as JSON (or raw bytes), everything it
// wrote back out as JSON.
#pragma once

#include <string>
#include <vector>

#include "lsp/server.h"

namespace oxel::lsp::testing {

inline std::string framed(std::string_view body) { return frame_header(body) + std::string(body); }

// Every message in a stream of frames.
inline std::vector<json> messages_in(std::string_view bytes) {
    StringSource source(bytes);
    MessageReader reader(source);
    std::vector<json> found;
    for (Frame frame = reader.next(); frame.kind != Frame::Kind::end; frame = reader.next())
        found.push_back(json::parse(frame.body));
    return found;
}

class Session {
public:
    Server server{[this](std::string_view header, std::string_view body) {
        written_ += header;
        written_ += body;
    }};

    // Everything the server wrote in reply to the bytes.
    std::vector<json> send_bytes(std::string_view bytes) {
        written_.clear();
        StringSource source(bytes);
        MessageReader reader(source);
        for (Frame frame = reader.next(); frame.kind != Frame::Kind::end && !server.exited(); frame = reader.next())
            server.receive(frame);
        return messages_in(written_);
    }
    std::vector<json> send(const json& message) { return send_bytes(framed(message.dump())); }

    // The response to a request (the last message written).
    json request(const std::string& method, const json& params) {
        std::vector<json> replies = send({{"jsonrpc", "2.0"}, {"id", ++id_}, {"method", method}, {"params", params}});
        return replies.empty() ? json() : replies.back();
    }
    json result(const std::string& method, const json& params) { return request(method, params)["result"]; }
    std::vector<json> notify(const std::string& method, const json& params) {
        return send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }

    json initialize(bool utf8 = false) {
        json capabilities = json::object();
        if (utf8)
            capabilities["general"]["positionEncodings"] = {"utf-8", "utf-16"};
        json reply = request("initialize", {{"capabilities", capabilities}});
        notify("initialized", json::object());
        return reply;
    }
    // didOpen; the diagnostics published for the document's URI.
    json open(const std::string& uri, const std::string& text) {
        return diagnostics_for(uri, notify("textDocument/didOpen",
                                           {{"textDocument", {{"uri", uri}, {"languageId", "oxel"}, {"version", 1}, {"text", text}}}}));
    }
    json change(const std::string& uri, const std::string& text) {
        return diagnostics_for(uri, notify("textDocument/didChange",
                                           {{"textDocument", {{"uri", uri}, {"version", 2}}},
                                            {"contentChanges", {{{"text", text}}}}}));
    }
    static json diagnostics_for(const std::string& uri, const std::vector<json>& messages) {
        json found;
        for (const json& message : messages) {
            if (message.value("method", "") == "textDocument/publishDiagnostics" && message["params"]["uri"] == uri)
                found = message["params"]["diagnostics"];
        }
        return found;
    }

private:
    std::string written_;
    int id_ = 0;
};

inline json at(const std::string& uri, std::uint32_t line, std::uint32_t character) {
    return {{"textDocument", {{"uri", uri}}}, {"position", {{"line", line}, {"character", character}}}};
}

}  // namespace oxel::lsp::testing
