// The language server: JSON-RPC messages in, responses and notifications
// out. It owns no stream: frames come from a MessageReader and every message
// goes out through `Output` as a header and a body, so tests and the fuzz
// target run it over strings, and main.cpp over standard input and output.
//
// Lifecycle: until `initialize`, requests are answered "not initialized"
// (-32002) and notifications dropped; after `shutdown`, requests are
// invalid (-32600); `exit` ends the loop with status 0 after shutdown and
// 1 otherwise, as does the end of the input.
#pragma once

#include <functional>
#include <string_view>

#include "lsp/workspace.h"
#include "protocol/message_stream.h"

namespace oxel::lsp {

// The framing is the one shared with the debugger.
using protocol::ByteSource;
using protocol::Frame;
using protocol::frame_header;
using protocol::MessageReader;
using protocol::StringSource;

using Output = std::function<void(std::string_view header, std::string_view body)>;

class Server {
public:
    explicit Server(Output output) : output_(std::move(output)) {}
    void receive(const Frame& frame);
    bool exited() const { return exited_; }
    int exit_status() const { return state_ == State::shut_down ? 0 : 1; }

private:
    enum class State { waiting, running, shut_down };
    Output output_;
    Workspace workspace_;
    State state_ = State::waiting;
    bool exited_ = false;

    void dispatch(const json& message);
    void request(const json& id, const std::string& method, const json& params);
    void notification(const std::string& method, const json& params);
    json initialize(const json& params);
    void send(const json& message);
    void fail(const json& id, int code, const std::string& message);
    // Checks what changed and publishes the diagnostics of every document
    // they may have changed.
    void refresh();
    void publish(const Document& document);
};

// Reads frames until `exit` or the end of input; the exit status.
int serve(ByteSource& input, const Output& output);

}  // namespace oxel::lsp
