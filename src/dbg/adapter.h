// oxel-dbg --dap: the Debug Adapter Protocol over a byte stream, framed as
// protocol/message_stream.h reads it. One program, one thread (id 1). The
// program's standard output and error arrive as `output` events, and
// nothing but protocol is written to `output`. Every request that cannot be
// served (malformed frame or JSON, unknown command, out of order, wrong
// arguments) gets a response with success false and a message.
#pragma once

#include <functional>
#include <string_view>

#include "protocol/message_stream.h"

namespace oxel::dbg {

// Writes one message: its header, then its body. Called from more than one
// thread, never at once.
using Output = std::function<void(std::string_view header, std::string_view body)>;

// Serves until `disconnect` or the end of input; the program, if still
// running, is ended first. Returns the adapter's exit status, 0.
// `may_launch` false refuses every launch (the fuzz target: its bytes
// must run no program and change no folder).
int serve_adapter(protocol::ByteSource& input, const Output& output, bool may_launch = true);

}  // namespace oxel::dbg
