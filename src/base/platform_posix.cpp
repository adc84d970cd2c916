#include "base/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace oxel::platform {

namespace {

bool holds_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

// Writes both pieces with as few calls as possible; false on failure.
bool write_pieces(int fd, std::string_view first, std::string_view second) {
    iovec pieces[2] = {{const_cast<char*>(first.data()), first.size()},
                       {const_cast<char*>(second.data()), second.size()}};
    iovec* next = pieces;
    int left = 2;
    while (left > 0) {
        if (next->iov_len == 0) {
            ++next;
            --left;
            continue;
        }
        ssize_t written = ::writev(fd, next, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        auto done = static_cast<std::size_t>(written);
        while (left > 0 && done >= next->iov_len) {
            done -= next->iov_len;
            ++next;
            --left;
        }
        if (left > 0) {
            next->iov_base = static_cast<char*>(next->iov_base) + done;
            next->iov_len -= done;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) {
    if (holds_nul(path))
        return std::nullopt;
    std::string name(path);
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    // A regular file is read into a buffer of its own size plus the one byte
    // that shows it has not grown; anything else (or a file that grew since)
    // doubles the buffer as it fills.
    std::size_t size = std::size_t{1} << 16;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0)
        size = std::min(static_cast<std::size_t>(info.st_size), max_bytes) + 1;
    std::string text(size, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == text.size())
            text.resize(text.size() * 2);
        ssize_t got = ::read(fd, text.data() + used, text.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
        if (used >= max_bytes) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    text.resize(used);
    return text;
}

void write_stdout(std::string_view first, std::string_view second) {
    (void)write_pieces(STDOUT_FILENO, first, second);
}

void write_stderr(std::string_view text) { (void)write_pieces(STDERR_FILENO, text, {}); }

std::optional<unsigned char> read_stdin_byte() {
    unsigned char byte;
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, &byte, 1);
        if (got == 1)
            return byte;
        if (got < 0 && errno == EINTR)
            continue;
        return std::nullopt;
    }
}

std::optional<FileHandle> open_for_reading(std::string_view path) {
    if (holds_nul(path))
        return std::nullopt;
    std::string name(path);
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    // A directory opens here but is no file to read: refuse it at the open,
    // so the program is told it cannot open it rather than that a read failed.
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return fd;
}

std::optional<FileHandle> create_for_writing(std::string_view path) {
    if (holds_nul(path))
        return std::nullopt;
    std::string name(path);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::nullopt;
    return fd;
}

std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count) {
    for (;;) {
        ssize_t got = ::read(file, buffer, count);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno == EINTR)
            continue;
        return std::nullopt;
    }
}

bool write_file(FileHandle file, std::string_view bytes) { return write_pieces(file, bytes, {}); }

void close_file(FileHandle file) { ::close(file); }

void ignore_broken_pipe() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace oxel::platform
