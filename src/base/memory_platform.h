// The console and files in memory, for tests and fuzzers that run programs
// without touching the machine they run on: standard input from a string,
// standard output and error into strings, files in a table of paths.
// Paths are tidied before lookup ("." steps, doubled slashes and "dir/.."
// fall away), so every spelling of a file reaches the same entry and the
// same identity; like the operating system, the platform refuses paths of
// max_path bytes or more. Console output and file text stop growing at `max_bytes`
// all together: past it console output is dropped and file writes fail, so
// a program that writes without end cannot exhaust memory. A folder is
// there while some file lies in it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/platform.h"

namespace oxel::platform {

class MemoryBackend final : public Backend {
public:
    std::string input;
    std::size_t input_taken = 0;
    std::string out;
    std::string err;
    std::map<std::string, std::string> files;  // by tidied path
    std::size_t max_bytes = std::size_t{1} << 24;
    static constexpr std::size_t max_path = 4096;

    static std::string tidy(std::string_view path);

    std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_file_bytes) override;
    std::optional<FileIdentity> identify_file(std::string_view path) override;
    void write_stdout(std::string_view first, std::string_view second) override;
    void write_stderr(std::string_view text) override;
    std::optional<unsigned char> read_stdin_byte() override;
    void give_back_unread_input() override {}
    std::optional<FileHandle> open_for_reading(std::string_view path) override;
    std::optional<FileHandle> create_for_writing(std::string_view path) override;
    std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count) override;
    bool write_file(FileHandle file, std::string_view bytes) override;
    void close_file(FileHandle file) override;
    // Every file here is a regular file, and the console none.
    std::optional<FileIdentity> identify_regular_file(FileHandle file) override;
    bool is_standard_output_or_error(const FileIdentity&) override { return false; }
    void give_back(FileHandle file, std::size_t count) override;

private:
    struct OpenFile {
        std::string path;
        std::size_t offset;
        bool writing;
        bool open;
    };
    std::vector<OpenFile> open_files_;
    std::map<std::string, std::uint64_t> identities_;
    std::size_t written_ = 0;

    bool take_room(std::size_t bytes);
    bool is_folder(const std::string& prefix) const;
    OpenFile* find_open(FileHandle file);
};

// Installs a backend for as long as it lives, then the operating system again.
class BackendInUse {
public:
    explicit BackendInUse(Backend& backend) { use_backend(&backend); }
    ~BackendInUse() { use_backend(nullptr); }
    BackendInUse(const BackendInUse&) = delete;
    BackendInUse& operator=(const BackendInUse&) = delete;
};

}  // namespace oxel::platform
