// Open documents first, then the disk.
#include "lsp/overlay.h"

#include "base/memory_platform.h"

namespace oxel::lsp {

namespace os = platform::os;

const std::string* Overlay::find(std::string_view path) const {
    auto found = texts.find(platform::MemoryBackend::tidy(path));
    return found == texts.end() ? nullptr : &found->second;
}

std::optional<std::string> Overlay::read_whole_file(std::string_view path, std::size_t max_bytes) {
    if (const std::string* text = find(path))
        return text->size() < max_bytes ? std::optional<std::string>(*text) : std::nullopt;
    return os::read_whole_file(path, max_bytes);
}

std::optional<platform::FileIdentity> Overlay::identify_file(std::string_view path) {
    if (auto identity = os::identify_file(path))
        return identity;
    // an open document not yet saved: one identity per tidied path, on a
    // device number no file system uses
    if (find(path)) {
        auto found = texts.find(platform::MemoryBackend::tidy(path));
        return platform::FileIdentity{~std::uint64_t{0},
                                      static_cast<std::uint64_t>(std::distance(texts.begin(), found))};
    }
    return std::nullopt;
}

// The server's standard output carries the protocol alone: a program that
// is only being checked prints nothing.
void Overlay::write_stdout(std::string_view, std::string_view) {}
void Overlay::write_stderr(std::string_view text) { os::write_stderr(text); }
std::optional<unsigned char> Overlay::read_stdin_byte() { return std::nullopt; }
void Overlay::give_back_unread_input() {}

std::optional<platform::FileHandle> Overlay::open_for_reading(std::string_view path) {
    return os::open_for_reading(path);
}
std::optional<platform::FileHandle> Overlay::create_for_writing(std::string_view) { return std::nullopt; }
std::optional<std::size_t> Overlay::read_file(platform::FileHandle file, char* buffer, std::size_t count) {
    return os::read_file(file, buffer, count);
}
bool Overlay::write_file(platform::FileHandle file, std::string_view bytes) { return os::write_file(file, bytes); }
void Overlay::close_file(platform::FileHandle file) { os::close_file(file); }
std::optional<platform::FileIdentity> Overlay::identify_regular_file(platform::FileHandle file) {
    return os::identify_regular_file(file);
}
bool Overlay::is_standard_output_or_error(const platform::FileIdentity& identity) {
    return os::is_standard_output_or_error(identity);
}
void Overlay::give_back(platform::FileHandle file, std::size_t count) { os::give_back(file, count); }

}  // namespace oxel::lsp
