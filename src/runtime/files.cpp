#include "runtime/files.h"

#include <string>

#include "base/error_report.h"
#include "runtime/number_text.h"
#include "runtime/value_text.h"

namespace oxel {

namespace {

constexpr std::int64_t max_read_size = 1'000'000;

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
    entries_.push_back({*file, true});
    return static_cast<std::int64_t>(entries_.size() - 1);
}

Value FileTable::read(const Value& handle, std::int64_t count, Heap& heap, std::uint32_t line) {
    if (count < 0 || count > max_read_size) {
        std::string count_text;
        append_integer(count_text, count);
        report_error(FailureKind::bad_read_size, count_text, line);
    }
    Entry& entry = open_entry(handle, line);
    if (count == 0)
        return Value::string({});
    const auto wanted = static_cast<std::size_t>(count);
    char* buffer = heap.allocate_string(wanted, wanted);
    std::size_t got = 0;
    while (got < wanted) {
        const auto part = platform::read_file(entry.file, buffer + got, wanted - got);
        if (!part)
            report_error(FailureKind::file_read_failed, line);
        if (*part == 0)
            break;  // end of file
        got += *part;
    }
    // A short read keeps only what arrived (nothing at end of file).
    if (got < wanted)
        buffer = heap.shrink_fresh(buffer, got);
    if (got == 0)
        return Value::string({});
    return Value::heap_string(buffer, got);
}

void FileTable::write(const Value& handle, const Value& value, std::uint32_t line) {
    Entry& entry = open_entry(handle, line);
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
    entry = {platform::FileHandle{}, false};
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
