// Records the debug information of a compilation (image/debug_info.h) as a
// CompileObserver: pass it to compile_program, then take() the result. The
// program compiled is the same as without it.
#pragma once

#include <cstddef>

#include "compiler/compile_context.h"
#include "image/debug_info.h"

namespace oxel {

class DebugInfoRecorder : public CompileObserver {
public:
    void statement_started(const CompileContext& context, std::size_t line) override;
    void chunk_finished(const CompileContext& context, std::size_t definition) override;
    DebugInfo take() { return std::move(info_); }

private:
    ChunkDebugInfo& chunk(std::size_t index);
    DebugInfo info_;
};

}  // namespace oxel
