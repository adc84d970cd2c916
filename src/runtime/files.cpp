#include "runtime/files.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/error_report.h"
#include "runtime/number_text.h"
#include "runtime/value_text.h"

namespace oxel {

namespace {

constexpr std::int64_t max_read_size = 1'000'000;
// A block read ahead: big enough that reading a file a byte at a time costs
// one system call per block, small enough that the blocks of many open files
// stay small beside the heap. Past `max_reading_ahead` open files, reads go
// straight through, so the memory they take is bounded.
constexpr std::uint32_t block_size = 16384;
constexpr std::size_t max_reading_ahead = 64;

[[noreturn]] void report_path_error(FailureKind kind, std::string_view path, std::uint32_t line) {
    std::string detail = "'";
    detail += path;  // the bytes as they are
    detail += '\'';
    report_error(kind, detail, line);
}

std::int64_t handle_number(const Value& handle, std::uint32_t line) {
    if (!handle.is_int())
        report_error(FailureKind::bad_handle, line);
    return handle.as_int();
}

}  // namespace

std::int64_t FileTable::open(const Value& path, const Value& mode, std::uint32_t line) {
    if (!path.is_string())
        report_error(FailureKind::fopen_path_type, line);
    const std::string_view name = path.as_string();
    const std::string_view how = mode.is_string() ? mode.as_string() : std::string_view{};
    // An open for writing truncates; any open may be of something that shows
    // another file's offset.
    give_back_ahead(std::nullopt);
    std::optional<platform::FileHandle> file;
    if (how == "r") {
        file = platform::open_for_reading(name);
        if (!file)
            report_path_error(FailureKind::cannot_open_file, name, line);
    } else if (how == "w") {
        file = platform::create_for_writing(name);
        if (!file)
            report_path_error(FailureKind::cannot_create_file, name, line);
    } else {
        report_error(FailureKind::fopen_mode, line);
    }
    Entry entry{*file, true, platform::identify_regular_file(*file), nullptr};
    if (how == "r" && entry.identity && !platform::is_standard_output_or_error(*entry.identity) &&
        reading_ahead_.size() < max_reading_ahead) {
        entry.ahead = std::make_unique<char[]>(block_size);
        reading_ahead_.push_back(entries_.size());
    }
    entries_.push_back(std::move(entry));
    return static_cast<std::int64_t>(entries_.size() - 1);
}

Value FileTable::read_any(const Value& handle, std::int64_t count, Heap& heap, std::uint32_t line) {
    if (count < 0 || count > max_read_size) {
        std::string count_text;
        append_integer(count_text, count);
        report_error(FailureKind::bad_read_size, count_text, line);
    }
    Entry& entry = open_entry(handle, line);
    if (count == 0)
        return Value::string({});
    const auto wanted = static_cast<std::size_t>(count);
    if (wanted == 1) {
        char byte = 0;
        const std::size_t got =
            entry.ahead ? read_through_block(entry, &byte, 1, line) : read_exactly(entry, &byte, 1, line);
        return got == 0 ? Value::string({}) : one_byte_string(static_cast<unsigned char>(byte));
    }
    char* buffer = heap.allocate_string(wanted, wanted);
    const std::size_t got = entry.ahead ? read_through_block(entry, buffer, wanted, line)
                                        : read_exactly(entry, buffer, wanted, line);
    // A short read keeps only what arrived (nothing at end of file).
    if (got < wanted)
        buffer = heap.shrink_fresh(buffer, got);
    if (got == 0)
        return Value::string({});
    return Value::heap_string(buffer, got);
}

std::size_t FileTable::read_exactly(Entry& entry, char* buffer, std::size_t wanted, std::uint32_t line) {
    std::size_t got = 0;
    while (got < wanted) {
        const auto part = platform::read_file(entry.file, buffer + got, wanted - got);
        if (!part)
            report_error(FailureKind::file_read_failed, line);
        if (*part == 0)
            break;  // end of file
        got += *part;
    }
    return got;
}

std::size_t FileTable::read_through_block(Entry& entry, char* buffer, std::size_t wanted,
                                          std::uint32_t line) {
    std::size_t got = 0;
    while (got < wanted) {
        if (entry.next == entry.end) {
            // A big read goes straight through; a small one fills the block.
            if (wanted - got >= block_size)
                return got + read_exactly(entry, buffer + got, wanted - got, line);
            const auto part = platform::read_file(entry.file, entry.ahead.get(), block_size);
            if (!part)  // the bytes past those asked for may be what failed
                return got + read_exactly(entry, buffer + got, wanted - got, line);
            if (*part == 0)
                break;  // end of file; a later read tries again
            entry.next = 0;
            entry.end = static_cast<std::uint32_t>(*part);
        }
        const std::size_t taken = std::min<std::size_t>(wanted - got, entry.end - entry.next);
        std::memcpy(buffer + got, entry.ahead.get() + entry.next, taken);
        entry.next += static_cast<std::uint32_t>(taken);
        got += taken;
    }
    return got;
}

void FileTable::give_back_ahead(const std::optional<platform::FileIdentity>& identity) {
    for (std::size_t i : reading_ahead_) {
        Entry& entry = entries_[i];
        if (entry.next < entry.end && (!identity || entry.identity == identity)) {
            platform::give_back(entry.file, entry.end - entry.next);
            entry.next = entry.end = 0;
        }
    }
}

void FileTable::write(const Value& handle, const Value& value, std::uint32_t line) {
    Entry& entry = open_entry(handle, line);
    // Reads of this file after the write see what it wrote.
    if (entry.identity)
        give_back_ahead(entry.identity);
    if (value.is_array())
        report_error(FailureKind::cannot_write_array, line);
    TextBuffer buffer;
    const std::string_view text = text_of(value, buffer);  // no separator, no line feed
    if (text.empty())
        return;
    if (!platform::write_file(entry.file, text))
        report_error(FailureKind::file_write_failed, line);
}

void FileTable::close(const Value& handle, std::uint32_t line) {
    const std::int64_t h = handle_number(handle, line);
    // Closing a closed or unknown handle does nothing.
    if (h < 0 || static_cast<std::uint64_t>(h) >= entries_.size())
        return;
    Entry& entry = entries_[static_cast<std::size_t>(h)];
    if (!entry.open)
        return;
    platform::close_file(entry.file);
    if (entry.ahead)
        std::erase(reading_ahead_, static_cast<std::size_t>(h));
    entry = {platform::FileHandle{}, false, std::nullopt, nullptr};
}

void FileTable::close_all() {
    for (Entry& entry : entries_) {
        if (entry.open)
            platform::close_file(entry.file);
        entry = {platform::FileHandle{}, false, std::nullopt, nullptr};
    }
    reading_ahead_.clear();
}

FileTable::Entry& FileTable::open_entry(const Value& handle, std::uint32_t line) {
    const std::int64_t h = handle_number(handle, line);
    if (h < 0 || static_cast<std::uint64_t>(h) >= entries_.size())
        report_error(FailureKind::file_not_open, line);
    Entry& entry = entries_[static_cast<std::size_t>(h)];
    if (!entry.open)
        report_error(FailureKind::file_not_open, line);
    return entry;
}

}  // namespace oxel
