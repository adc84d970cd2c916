// The console and files go to the backend in use, or to the operating system.
#include "base/platform.h"

#include <cstdlib>

namespace oxel::platform {

namespace {

Backend* backend = nullptr;

}  // namespace

void use_backend(Backend* replacement) { backend = replacement; }

std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) {
    return backend ? backend->read_whole_file(path, max_bytes) : os::read_whole_file(path, max_bytes);
}

std::optional<std::string> environment_variable(const char* name) {
    const char* value = std::getenv(name);  // the same byte-string call on both systems
    if (!value)
        return std::nullopt;
    return std::string(value);
}

std::optional<FileIdentity> identify_file(std::string_view path) {
    return backend ? backend->identify_file(path) : os::identify_file(path);
}

void write_stdout(std::string_view first, std::string_view second) {
    backend ? backend->write_stdout(first, second) : os::write_stdout(first, second);
}

void write_stderr(std::string_view text) { backend ? backend->write_stderr(text) : os::write_stderr(text); }

std::optional<unsigned char> read_stdin_byte() {
    return backend ? backend->read_stdin_byte() : os::read_stdin_byte();
}

void give_back_unread_input() { backend ? backend->give_back_unread_input() : os::give_back_unread_input(); }

std::optional<FileHandle> open_for_reading(std::string_view path) {
    return backend ? backend->open_for_reading(path) : os::open_for_reading(path);
}

std::optional<FileHandle> create_for_writing(std::string_view path) {
    return backend ? backend->create_for_writing(path) : os::create_for_writing(path);
}

std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count) {
    return backend ? backend->read_file(file, buffer, count) : os::read_file(file, buffer, count);
}

bool write_file(FileHandle file, std::string_view bytes) {
    return backend ? backend->write_file(file, bytes) : os::write_file(file, bytes);
}

void close_file(FileHandle file) { backend ? backend->close_file(file) : os::close_file(file); }

std::optional<FileIdentity> identify_regular_file(FileHandle file) {
    return backend ? backend->identify_regular_file(file) : os::identify_regular_file(file);
}

bool is_standard_output_or_error(const FileIdentity& identity) {
    return backend ? backend->is_standard_output_or_error(identity) : os::is_standard_output_or_error(identity);
}

void give_back(FileHandle file, std::size_t count) {
    backend ? backend->give_back(file, count) : os::give_back(file, count);
}

bool write_whole_file(std::string_view path, std::string_view bytes) {
    std::optional<FileHandle> file = create_for_writing(path);
    if (!file)
        return false;
    const bool written = write_file(*file, bytes);
    close_file(*file);
    return written;
}

}  // namespace oxel::platform
