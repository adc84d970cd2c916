// The thin layer over the operating system: reading whole files, the
// program's own files, the console streams. Everything else in the system
// calls these and nothing else of the platform, so a port replaces this
// header's one implementation file. Bytes pass through untranslated.
//
// Tests and fuzzers can put a Backend in place of the operating system for
// the console and every file (see the end of this header); the functions
// below then go to it.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxel::platform {

// Descriptors 0, 1 and 2 that are not open are opened on the null device,
// so no file the program opens later can take their place and receive its
// output or feed its input. Called first thing; false when that failed.
bool open_missing_standard_streams();

// Reads the whole file. Fails when it cannot be opened or read, or when it
// holds max_bytes or more (reading stops there; a larger file is never
// loaded whole). Paths holding a NUL byte fail: the platform would read a
// shorter path.
std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes);

// The value of an environment variable of the process; nothing when it is
// not set. Read from the process itself, backend or not.
std::optional<std::string> environment_variable(const char* name);

// Memory for machine code made during the run. It is never writable and
// executable at once: it comes writable (and readable), is filled, and is
// then made executable (and readable); it may be made writable again to add
// code, while none of it runs. Whole pages; released once.
struct CodeMemory {
    void* address = nullptr;
    std::size_t size = 0;  // a whole number of pages
};
// At least `bytes` of writable memory; nothing when the system refuses.
std::optional<CodeMemory> allocate_code_memory(std::size_t bytes);
// Writable to executable; false when the system refuses (then it stays
// writable and must not be run).
bool make_code_executable(const CodeMemory& memory);
// Executable to writable, to add code; false when the system refuses (then
// it stays executable, unchanged).
bool make_code_writable(const CodeMemory& memory);
void release_code_memory(const CodeMemory& memory);
// What the system allows on the page holding `address`, as it reports it;
// nothing where it cannot tell (for tests of the rule above).
struct PageAccess {
    bool writable = false;
    bool executable = false;
};
std::optional<PageAccess> page_access(const void* address);

// What tells two names of one file apart from two files: equal for every
// path that reaches the same file (device and inode).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    auto operator<=>(const FileIdentity&) const = default;
};
// Nothing when the path reaches no file.
std::optional<FileIdentity> identify_file(std::string_view path);

// One write of first then second to standard output (a line feed is usually
// the second piece), retried on partial writes and waiting while the stream
// is full; failures are ignored.
void write_stdout(std::string_view first, std::string_view second = {});
// Same for standard error.
void write_stderr(std::string_view text);

// One byte of standard input, or nothing at end of input or on failure.
// From a regular file it is read ahead in blocks; from anything else byte by
// byte, since another process may read what follows.
std::optional<unsigned char> read_stdin_byte();
// Up to `count` bytes of standard input, as many as one read returns (at
// least one unless at end of input): 0 at end of input or on failure. For
// readers of a stream (the language server), not mixed with read_stdin_byte.
// Read from the process itself, backend or not.
std::size_t read_stdin_some(char* buffer, std::size_t count);
// The names of the files in a folder ("" is the current one) that end in
// `suffix` and are longer than it, sorted; none when the folder cannot be
// read. Read from the system itself, backend or not (the language server
// offers header names from it).
std::vector<std::string> files_ending_in(std::string_view folder, std::string_view suffix);
// Puts standard input's offset back to just after the last byte that
// read_stdin_byte returned, so whoever reads the file next sees exactly the
// rest. Called when the run ends, however it ends.
void give_back_unread_input();

// The program's files. A handle is the platform's own number (a file
// descriptor, or the value of a Windows handle).
using FileHandle = std::intptr_t;
std::optional<FileHandle> open_for_reading(std::string_view path);
std::optional<FileHandle> create_for_writing(std::string_view path);  // truncates
// Bytes read (0 at end of file), or nothing on a failure other than end of file.
std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count);
// Writes everything, retrying partial writes; false on failure.
bool write_file(FileHandle file, std::string_view bytes);
void close_file(FileHandle file);
// Which regular file an open handle reaches; nothing for a pipe, a terminal,
// a device or a failure. Only such a file is read ahead in blocks: nothing
// but the program moves through it.
std::optional<FileIdentity> identify_regular_file(FileHandle file);
// Whether standard output or standard error writes to that file: the
// program's output then lands in it between reads, so it is not read ahead.
bool is_standard_output_or_error(const FileIdentity& identity);
// Moves the file's offset back by `count` bytes, returning bytes read ahead
// and not used.
void give_back(FileHandle file, std::size_t count);
// Creates (or truncates) the file and writes the bytes; false on any failure.
bool write_whole_file(std::string_view path, std::string_view bytes);

// Makes `path` the process's working directory (the debugger's launch
// folder); false when it cannot. Not the backend's: the process's own.
bool change_directory(std::string_view path);

// The size in bytes of the file at `path` as the system sees it now;
// nothing when there is no such file or it cannot be asked. Read from the
// system itself, backend or not, and only a hint (for expect_allocations):
// what a read returns is what counts.
std::optional<std::uint64_t> file_size(std::string_view path);

// Tells the memory allocator that about `bytes` are about to be allocated in
// blocks that mostly live until the process ends (a large program's image).
// Where the system allows it, that room is taken from it at once and backed
// by huge pages, so that filling it costs a few page faults rather than one
// per 4 KiB page. From then on, blocks up to the room's size come from the
// heap and stay there when freed (as glibc does by itself once a mapped
// block of that size is freed). Only the first hint counts; below 256 KiB,
// or where the system cannot do it, nothing happens. Nothing is allocated
// for the caller, and no block changes.
void expect_allocations(std::size_t bytes);

// A write to a pipe whose reader has gone must fail like any other write,
// not end the process.
void ignore_broken_pipe();

// A stand-in for the operating system, for the functions above from
// read_whole_file to give_back, each with the same contract.
class Backend {
public:
    virtual ~Backend() = default;
    virtual std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) = 0;
    virtual std::optional<FileIdentity> identify_file(std::string_view path) = 0;
    virtual void write_stdout(std::string_view first, std::string_view second) = 0;
    virtual void write_stderr(std::string_view text) = 0;
    virtual std::optional<unsigned char> read_stdin_byte() = 0;
    virtual void give_back_unread_input() = 0;
    virtual std::optional<FileHandle> open_for_reading(std::string_view path) = 0;
    virtual std::optional<FileHandle> create_for_writing(std::string_view path) = 0;
    virtual std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count) = 0;
    virtual bool write_file(FileHandle file, std::string_view bytes) = 0;
    virtual void close_file(FileHandle file) = 0;
    virtual std::optional<FileIdentity> identify_regular_file(FileHandle file) = 0;
    virtual bool is_standard_output_or_error(const FileIdentity& identity) = 0;
    virtual void give_back(FileHandle file, std::size_t count) = 0;
};

// Sends everything to `backend` from now on; nullptr: the operating system
// again. The backend must outlive its use.
void use_backend(Backend* backend);

// The operating system's own versions, which the functions above call when
// no backend is in use. Each port's platform file defines these.
namespace os {
std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes);
std::optional<FileIdentity> identify_file(std::string_view path);
void write_stdout(std::string_view first, std::string_view second);
void write_stderr(std::string_view text);
std::optional<unsigned char> read_stdin_byte();
void give_back_unread_input();
std::optional<FileHandle> open_for_reading(std::string_view path);
std::optional<FileHandle> create_for_writing(std::string_view path);
std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count);
bool write_file(FileHandle file, std::string_view bytes);
void close_file(FileHandle file);
std::optional<FileIdentity> identify_regular_file(FileHandle file);
bool is_standard_output_or_error(const FileIdentity& identity);
void give_back(FileHandle file, std::size_t count);
}  // namespace os

}  // namespace oxel::platform
