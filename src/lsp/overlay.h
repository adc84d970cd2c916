// The files as the editor has them: a platform backend that serves the text
// of every open document in place of the file on disk, and passes everything
// else to the operating system. Installed only while a check or a format
// runs, so an unsaved header is read as the user sees it. Paths are compared
// tidied (memory_platform.h), so "dir/./x.oxh" finds an open "dir/x.oxh".
#pragma once

#include <map>
#include <string>

#include "base/platform.h"

namespace oxel::lsp {

class Overlay final : public platform::Backend {
public:
    // The open documents' texts by path; the caller keeps it up to date.
    std::map<std::string, std::string, std::less<>> texts;

    const std::string* find(std::string_view path) const;

    std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) override;
    std::optional<platform::FileIdentity> identify_file(std::string_view path) override;
    void write_stdout(std::string_view first, std::string_view second) override;
    void write_stderr(std::string_view text) override;
    std::optional<unsigned char> read_stdin_byte() override;
    void give_back_unread_input() override;
    std::optional<platform::FileHandle> open_for_reading(std::string_view path) override;
    std::optional<platform::FileHandle> create_for_writing(std::string_view path) override;
    std::optional<std::size_t> read_file(platform::FileHandle file, char* buffer, std::size_t count) override;
    bool write_file(platform::FileHandle file, std::string_view bytes) override;
    void close_file(platform::FileHandle file) override;
    std::optional<platform::FileIdentity> identify_regular_file(platform::FileHandle file) override;
    bool is_standard_output_or_error(const platform::FileIdentity& identity) override;
    void give_back(platform::FileHandle file, std::size_t count) override;
};

// Installs the overlay for as long as it lives.
class OverlayInUse {
public:
    explicit OverlayInUse(Overlay& overlay) { platform::use_backend(&overlay); }
    ~OverlayInUse() { platform::use_backend(nullptr); }
    OverlayInUse(const OverlayInUse&) = delete;
    OverlayInUse& operator=(const OverlayInUse&) = delete;
};

}  // namespace oxel::lsp
