// The program's files. A handle is an Int holding an index into the
// FileTable; entries are never removed and numbers never reused, so a closed
// handle stays closed. `line` is the executing instruction's line.
//
// A regular file opened for reading is read ahead in blocks, and what the
// program sees stays what reading exactly what it asks for would show: bytes
// read ahead are given back (the file's offset moved back) before the
// program writes to that file through another handle and before any open,
// so later reads see what was written and the offset is exact for anything
// opened next; a file that standard output or error writes to is never read
// ahead; and a read that fails is retried for exactly the bytes asked for,
// so a failure surfaces at the read that would have met it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
    // string at end of file, and a single byte as one_byte_string, which
    // needs no buffer. A byte at a time from the block read ahead is the
    // common case and stays inline.
    Value read(const Value& handle, std::int64_t count, Heap& heap, std::uint32_t line) {
        if (count == 1 && handle.is_int() && static_cast<std::uint64_t>(handle.as_int()) < entries_.size()) {
            Entry& entry = entries_[static_cast<std::size_t>(handle.as_int())];
            if (entry.next < entry.end)  // never for a closed entry: both are 0
                return one_byte_string(static_cast<unsigned char>(entry.ahead[entry.next++]));
        }
        return read_any(handle, count, heap, line);
    }
    void write(const Value& handle, const Value& value, std::uint32_t line);
    // Silent for closed or unknown handles.
    void close(const Value& handle, std::uint32_t line);
    // Closes every file the program left open: for a run inside a process
    // that goes on (a debugger), where the system would not close them.
    void close_all();

private:
    struct Entry {
        platform::FileHandle file;
        bool open;
        std::optional<platform::FileIdentity> identity;  // regular files only
        std::unique_ptr<char[]> ahead;                   // a block read ahead, when the entry reads ahead
        std::uint32_t next = 0;                          // the first byte of `ahead` not yet taken
        std::uint32_t end = 0;
    };
    std::vector<Entry> entries_;
    std::vector<std::size_t> reading_ahead_;  // the entries holding a block

    Value read_any(const Value& handle, std::int64_t count, Heap& heap, std::uint32_t line);
    // Up to `wanted` bytes into `buffer`, reading until then or the end.
    static std::size_t read_exactly(Entry& entry, char* buffer, std::size_t wanted, std::uint32_t line);
    std::size_t read_through_block(Entry& entry, char* buffer, std::size_t wanted, std::uint32_t line);
    // Moves the offsets of entries reading `identity` (every entry when
    // none is given) back past the bytes they hold and have not given out.
    void give_back_ahead(const std::optional<platform::FileIdentity>& identity);

    // The open entry a handle names; "Bad file handle", "File not open".
    Entry& open_entry(const Value& handle, std::uint32_t line);
};

}  // namespace oxel
