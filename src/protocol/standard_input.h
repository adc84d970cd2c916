// The process's own standard input as a ByteSource, for a server reading
// its messages (whatever console the programs it runs are given).
#pragma once

#include "base/platform.h"
#include "protocol/message_stream.h"

namespace oxel::protocol {

class StandardInput final : public ByteSource {
public:
    std::size_t read(char* buffer, std::size_t count) override { return platform::read_stdin_some(buffer, count); }
};

}  // namespace oxel::protocol
