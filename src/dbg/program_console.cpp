#include "dbg/program_console.h"

namespace oxel::dbg {

ProgramConsole::~ProgramConsole() {
    if (input_)
        platform::os::close_file(*input_);
}

bool ProgramConsole::read_input_from(std::string_view path) {
    std::optional<platform::FileHandle> file = platform::os::open_for_reading(path);
    if (!file)
        return false;
    if (input_)
        platform::os::close_file(*input_);
    input_ = file;
    buffer_.clear();
    next_ = 0;
    return true;
}

void ProgramConsole::write_stdout(std::string_view first, std::string_view second) {
    if (!output_) {
        platform::os::write_stdout(first, second);
        return;
    }
    std::string bytes(first);
    bytes += second;
    output_(false, bytes);
}

void ProgramConsole::write_stderr(std::string_view text) {
    if (output_)
        output_(true, text);
    else
        platform::os::write_stderr(text);
}

std::optional<unsigned char> ProgramConsole::read_stdin_byte() {
    if (!input_)
        return std::nullopt;  // no input file: the program reads an empty input
    if (next_ == buffer_.size()) {
        buffer_.resize(65536);
        const std::optional<std::size_t> got = platform::os::read_file(*input_, buffer_.data(), buffer_.size());
        buffer_.resize(got.value_or(0));
        next_ = 0;
        if (buffer_.empty())
            return std::nullopt;
    }
    return static_cast<unsigned char>(buffer_[next_++]);
}

}  // namespace oxel::dbg
