// What a tool sees of a run: the observed machine (a Machine built with the
// program's debug information) reports each statement start, call, return
// and failure to a RunObserver. The loop writes the running frame's ip and
// top back before each report, so at every report the frames
// machine.frames[0, frame_count) are whole: each frame's chunk, its ip (one
// past the instruction it runs, as current_line reads it) and its slots,
// which debug info names. A profiler counts and samples from here; a
// debugger could stop in `statement`, read the frames and walk them.
//
// Observing changes neither the run nor its failures. Code is fused as in a
// plain run except across a statement start, so every start is dispatched.
#pragma once

#include <cstdint>

#include "base/error_report.h"

namespace oxel {

class Machine;

class RunObserver {
public:
    virtual ~RunObserver() = default;
    // The statement `statement` (an index into machine.debug.chunks[chunk]
    // .statements) of the innermost frame is about to run.
    virtual void statement(const Machine& machine, std::uint32_t chunk, std::uint32_t statement) = 0;
    // A frame running `chunk` was entered: it is the innermost one, before
    // its first statement. Frame 0, the top level, is entered first of all.
    virtual void called(const Machine& /*machine*/, std::uint32_t /*chunk*/) {}
    // The innermost frame, which ran `chunk`, was left: the caller is the
    // innermost one now (none after frame 0 is left, at the end of the run).
    virtual void returned(const Machine& /*machine*/, std::uint32_t /*chunk*/) {}
    // A run-time failure, placed and with its calls recorded, is about to
    // end the run; the frames are as they were when it was raised.
    virtual void failed(const Machine& /*machine*/, const Failure& /*failure*/) {}
};

}  // namespace oxel
