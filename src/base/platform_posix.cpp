#include "base/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fstream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace oxel::platform {

namespace {

bool holds_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

// After EINTR, or EAGAIN on a descriptor someone made non-blocking (which
// then waits until it is ready): true when the call should be made again.
bool worth_retrying(int fd, short ready_for) {
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    pollfd wait_for{fd, ready_for, 0};
    while (::poll(&wait_for, 1, -1) < 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

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
            if (worth_retrying(fd, POLLOUT))
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

// Standard input read ahead: only from a regular file, whose offset can be
// put back when the run ends.
enum class InputMode : std::uint8_t { unknown, blocks, bytes };
struct StandardInput {
    InputMode mode = InputMode::unknown;
    std::size_t next = 0;  // first byte not yet handed out
    std::size_t end = 0;   // bytes in the buffer
    char buffer[65536];
};
StandardInput standard_input;

}  // namespace

bool open_missing_standard_streams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number, which is fd itself: those below are open.
        int opened = ::open("/dev/null", O_RDWR);
        if (opened < 0)
            return false;
        if (opened != fd) {
            if (::dup2(opened, fd) < 0)
                return false;
            ::close(opened);
        }
    }
    return true;
}

namespace os {

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
            if (worth_retrying(fd, POLLIN))
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

std::optional<FileIdentity> identify_file(std::string_view path) {
    if (holds_nul(path))
        return std::nullopt;
    std::string name(path);
    struct stat info;
    if (::stat(name.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

void write_stdout(std::string_view first, std::string_view second) {
    (void)write_pieces(STDOUT_FILENO, first, second);
}

void write_stderr(std::string_view text) { (void)write_pieces(STDERR_FILENO, text, {}); }

std::optional<unsigned char> read_stdin_byte() {
    StandardInput& in = standard_input;
    if (in.next < in.end)
        return static_cast<unsigned char>(in.buffer[in.next++]);
    if (in.mode == InputMode::unknown) {
        struct stat info;
        const bool regular = ::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode);
        in.mode = regular ? InputMode::blocks : InputMode::bytes;
    }
    const std::size_t wanted = in.mode == InputMode::blocks ? sizeof in.buffer : 1;
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, in.buffer, wanted);
        if (got > 0) {
            in.next = 1;
            in.end = static_cast<std::size_t>(got);
            return static_cast<unsigned char>(in.buffer[0]);
        }
        if (got < 0 && worth_retrying(STDIN_FILENO, POLLIN))
            continue;
        return std::nullopt;
    }
}

}  // namespace os

bool change_directory(std::string_view path) {
    return !holds_nul(path) && ::chdir(std::string(path).c_str()) == 0;
}

std::size_t read_stdin_some(char* buffer, std::size_t count) {
    for (;;) {
        ssize_t got = ::read(STDIN_FILENO, buffer, count);
        if (got > 0)
            return static_cast<std::size_t>(got);
        if (got < 0 && worth_retrying(STDIN_FILENO, POLLIN))
            continue;
        return 0;
    }
}

std::vector<std::string> files_ending_in(std::string_view folder, std::string_view suffix) {
    std::vector<std::string> names;
    if (holds_nul(folder))
        return names;
    DIR* dir = ::opendir(folder.empty() ? "." : std::string(folder).c_str());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() > suffix.size() && name.ends_with(suffix))
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

namespace os {

void give_back_unread_input() {
    StandardInput& in = standard_input;
    if (in.next < in.end)
        (void)::lseek(STDIN_FILENO, -static_cast<off_t>(in.end - in.next), SEEK_CUR);
    in.next = in.end = 0;
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
        if (worth_retrying(file, POLLIN))
            continue;
        return std::nullopt;
    }
}

bool write_file(FileHandle file, std::string_view bytes) { return write_pieces(file, bytes, {}); }

void close_file(FileHandle file) { ::close(file); }

namespace {

std::optional<FileIdentity> regular_file_of(int fd) {
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> identify_regular_file(FileHandle file) {
    return regular_file_of(static_cast<int>(file));
}

bool is_standard_output_or_error(const FileIdentity& identity) {
    return regular_file_of(STDOUT_FILENO) == identity || regular_file_of(STDERR_FILENO) == identity;
}

void give_back(FileHandle file, std::size_t count) {
    (void)::lseek(static_cast<int>(file), -static_cast<off_t>(count), SEEK_CUR);
}

}  // namespace os

std::optional<std::uint64_t> file_size(std::string_view path) {
    if (holds_nul(path))
        return std::nullopt;
    std::string name(path);
    struct stat info;
    if (::stat(name.c_str(), &info) != 0 || info.st_size < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

// glibc's main heap grows with brk, in one piece: the room is made by growing
// it once, and the part of it from the first huge-page boundary on is marked
// for huge pages. A sanitizer's allocator keeps its own memory: nothing to do.
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__) && \
    !defined(__SANITIZE_THREAD__)
namespace {

void* volatile kept_below_boundary = nullptr;  // volatile: so that the block is made

}  // namespace

void expect_allocations(std::size_t bytes) {
    constexpr std::size_t huge_page = std::size_t{2} << 20;  // with 4 KiB pages
    // Below this, the faults saved cost less than clearing one huge page.
    constexpr std::size_t least = huge_page / 8;
    // glibc takes blocks of at most 32 MiB from the heap; the room is one.
    constexpr std::size_t most = std::size_t{24} << 20;
    static std::atomic<bool> done{false};  // a tool may compile on a thread of its own
    if (bytes < least || ::sysconf(_SC_PAGESIZE) != 4096 || done.exchange(true))
        return;
    const auto round_down = [](std::uintptr_t address) { return address & ~(huge_page - 1); };
    // One huge page more on each side: the room below the first boundary,
    // and the last one, touched by the allocator's own bookkeeping, stay small.
    const std::size_t room = std::min(bytes, most) + 2 * huge_page;
    // Blocks up to the size of the room come from the heap rather than
    // mappings of their own, and freeing them keeps the room: what glibc
    // sets by itself once a mapped block of that size is freed.
    const int largest_block = static_cast<int>(room + huge_page);
    if (::mallopt(M_MMAP_THRESHOLD, largest_block) == 0 || ::mallopt(M_TRIM_THRESHOLD, 2 * largest_block) == 0)
        return;
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    void* volatile grown = std::malloc(room);  // volatile: so that the pair stays
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    std::free(grown);
    const auto grown_end = reinterpret_cast<std::uintptr_t>(grown) + room;
    if (grown == nullptr || grown_end <= before || grown_end > after)
        return;  // not in the heap's new part: it did not grow in place
    // The free room at the top of the heap starts at `top`. The untouched
    // part of it, from the first boundary to the end of the block just
    // freed, is marked before anything there is touched (a page touched
    // first would keep its 2 MiB range in small pages); then a block that
    // fills the room up to the boundary, kept until exit, makes the blocks
    // that follow start there.
    const std::uintptr_t top = after - ::mallinfo2().keepcost;
    const std::uintptr_t end = round_down(grown_end);
    constexpr std::size_t block_header = sizeof(std::size_t);
    constexpr std::size_t smallest_block = 4 * sizeof(std::size_t);
    const std::uintptr_t boundary = top % huge_page == 0 ? top : round_down(top + smallest_block + huge_page - 1);
    if (end <= boundary || ::madvise(reinterpret_cast<void*>(boundary), end - boundary, MADV_HUGEPAGE) != 0)
        return;
    if (boundary != top)
        kept_below_boundary = std::malloc(boundary - top - block_header);
}
#else
void expect_allocations(std::size_t) {}
#endif

void ignore_broken_pipe() { std::signal(SIGPIPE, SIG_IGN); }

std::optional<CodeMemory> allocate_code_memory(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    if (bytes == 0 || bytes > SIZE_MAX - page)
        return std::nullopt;
    const std::size_t size = (bytes + page - 1) / page * page;
    void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return std::nullopt;
    return CodeMemory{address, size};
}

bool make_code_executable(const CodeMemory& memory) {
    return ::mprotect(memory.address, memory.size, PROT_READ | PROT_EXEC) == 0;
}

bool make_code_writable(const CodeMemory& memory) {
    return ::mprotect(memory.address, memory.size, PROT_READ | PROT_WRITE) == 0;
}

void release_code_memory(const CodeMemory& memory) {
    if (memory.address)
        ::munmap(memory.address, memory.size);
}

std::optional<PageAccess> page_access(const void* address) {
    // Linux lists each mapping as "start-end perms ...", in hexadecimal.
    std::ifstream maps("/proc/self/maps");
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::string line;
    while (std::getline(maps, line)) {
        const std::size_t dash = line.find('-'), space = line.find(' ');
        if (dash == std::string::npos || space == std::string::npos || space + 4 > line.size())
            continue;
        std::uintptr_t start = 0, end = 0;
        std::from_chars(line.data(), line.data() + dash, start, 16);
        std::from_chars(line.data() + dash + 1, line.data() + space, end, 16);
        if (at >= start && at < end)
            return PageAccess{line[space + 2] == 'w', line[space + 3] == 'x'};
    }
    return std::nullopt;
}

}  // namespace oxel::platform
