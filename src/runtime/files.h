// The program's files. A handle is an Int holding an index into the
// FileTable; entries are never removed and numbers never reused, so a closed
// handle stays closed. `line` is the executing instruction's line.
#pragma once

#include <cstdint>
#include <vector>

#include "base/platform.h"
#include "runtime/heap.h"
#include "runtime/value.h"

namespace oxel {

class FileTable {
public:
    // Path first checked, then the mode ("r" or "w" exactly); the new handle.
    std::int64_t open(const Value& path, const Value& mode, std::uint32_t line);
    // Up to `count` bytes, in a buffer sized to what was read; the empty
    // string at end of file.
    Value read(const Value& handle, std::int64_t count, Heap& heap, std::uint32_t line);
    void write(const Value& handle, const Value& value, std::uint32_t line);
    // Silent for closed or unknown handles.
    void close(const Value& handle, std::uint32_t line);

private:
    struct Entry {
        platform::FileHandle file;
        bool open;
    };
    std::vector<Entry> entries_;

    // The open entry a handle names; "Bad file handle", "File not open".
    Entry& open_entry(const Value& handle, std::uint32_t line);
};

}  // namespace oxel
