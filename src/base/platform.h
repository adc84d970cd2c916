// The thin layer over the operating system: reading whole files, the
// program's own files, the console streams. Everything else in the system
// calls these and nothing else of the platform, so a port replaces this
// header's one implementation file. Bytes pass through untranslated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oxel::platform {

// Reads the whole file. Fails when it cannot be opened or read, or when it
// holds max_bytes or more (reading stops there; a larger file is never
// loaded whole). Paths holding a NUL byte fail: the platform would read a
// shorter path.
std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes);

// One write of first then second to standard output (a line feed is usually
// the second piece), retried on partial writes; failures are ignored.
void write_stdout(std::string_view first, std::string_view second = {});
// Same for standard error.
void write_stderr(std::string_view text);

// One byte of standard input, or nothing at end of input or on failure.
std::optional<unsigned char> read_stdin_byte();

// The program's files. A handle is the platform's own number.
using FileHandle = int;
std::optional<FileHandle> open_for_reading(std::string_view path);
std::optional<FileHandle> create_for_writing(std::string_view path);  // truncates
// Bytes read (0 at end of file), or nothing on a failure other than end of file.
std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count);
// Writes everything, retrying partial writes; false on failure.
bool write_file(FileHandle file, std::string_view bytes);
void close_file(FileHandle file);

// A write to a pipe whose reader has gone must fail like any other write,
// not end the process.
void ignore_broken_pipe();

}  // namespace oxel::platform
