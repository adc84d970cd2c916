// The console of a debugged program, put in place of the operating system's
// (platform::Backend) for the run: its standard input is the file named for
// it, or empty; its standard output and error go to `output` when given
// (the adapter's output events), else straight through. Files and
// everything else are the operating system's, as under oxelc.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/platform.h"

namespace oxel::dbg {

class ProgramConsole final : public platform::Backend {
public:
    // (error: standard error rather than output, bytes)
    using Output = std::function<void(bool error, std::string_view bytes)>;
    explicit ProgramConsole(Output output = nullptr) : output_(std::move(output)) {}
    ~ProgramConsole() override;
    ProgramConsole(const ProgramConsole&) = delete;
    ProgramConsole& operator=(const ProgramConsole&) = delete;

    // The program reads `path` as its standard input (before the run);
    // false when it cannot be opened.
    bool read_input_from(std::string_view path);

    std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) override {
        return platform::os::read_whole_file(path, max_bytes);
    }
    std::optional<platform::FileIdentity> identify_file(std::string_view path) override {
        return platform::os::identify_file(path);
    }
    void write_stdout(std::string_view first, std::string_view second) override;
    void write_stderr(std::string_view text) override;
    std::optional<unsigned char> read_stdin_byte() override;
    void give_back_unread_input() override {}
    std::optional<platform::FileHandle> open_for_reading(std::string_view path) override {
        return platform::os::open_for_reading(path);
    }
    std::optional<platform::FileHandle> create_for_writing(std::string_view path) override {
        return platform::os::create_for_writing(path);
    }
    std::optional<std::size_t> read_file(platform::FileHandle file, char* buffer, std::size_t count) override {
        return platform::os::read_file(file, buffer, count);
    }
    bool write_file(platform::FileHandle file, std::string_view bytes) override {
        return platform::os::write_file(file, bytes);
    }
    void close_file(platform::FileHandle file) override { platform::os::close_file(file); }
    std::optional<platform::FileIdentity> identify_regular_file(platform::FileHandle file) override {
        return platform::os::identify_regular_file(file);
    }
    bool is_standard_output_or_error(const platform::FileIdentity& identity) override {
        return platform::os::is_standard_output_or_error(identity);
    }
    void give_back(platform::FileHandle file, std::size_t count) override { platform::os::give_back(file, count); }

private:
    Output output_;
    std::optional<platform::FileHandle> input_;
    std::string buffer_;
    std::size_t next_ = 0;
};

}  // namespace oxel::dbg
