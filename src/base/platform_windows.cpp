// The platform layer on the Win32 API. Paths are read as the byte-string
// ("A") entry points read them, in the ANSI code page; the standard streams are read and written with
// ReadFile and WriteFile on their handles, so bytes pass in both directions
// untranslated: no line-ending, end-of-file byte or code-page conversion.
#include "base/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

namespace oxel::platform {

namespace {

// ReadFile and WriteFile count in 32 bits; larger transfers go in pieces.
constexpr std::size_t max_transfer = std::size_t{1} << 30;

bool holds_nul(std::string_view path) { return path.find('\0') != std::string_view::npos; }

bool same_letters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != b[i])
            return false;
    }
    return true;
}

// Windows takes CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 (and the
// console's own CONIN$ and CONOUT$) for devices in every folder, whatever
// extension follows ("nul.txt", "out/con.log"). The program's files are disk
// files: such a name is refused before anything is opened, rather than
// reading from the keyboard or silently writing into a device.
bool names_device(std::string_view path) {
    std::size_t start = path.find_last_of("/\\");
    std::string_view name = start == std::string_view::npos ? path : path.substr(start + 1);
    if (start == std::string_view::npos && name.size() >= 2 && name[1] == ':')
        name.remove_prefix(2);  // "C:nul"
    name = name.substr(0, name.find_first_of(".:"));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        if (same_letters(name, device))
            return true;
    }
    if (name.size() == 4 && name[3] >= '0' && name[3] <= '9')
        return same_letters(name.substr(0, 3), "COM") || same_letters(name.substr(0, 3), "LPT");
    return false;
}

// The path as Windows's byte-string functions read it, in the ANSI code
// page, but as UTF-16 so that it may be longer than MAX_PATH: a long path
// is made whole (".." and "/" resolved, as Windows does for any path) and
// given the "\\?\" form. Nothing when a byte sequence means no character
// in the code page: no other file than the one named is ever opened.
std::optional<std::wstring> wide_path(std::string_view path) {
    // The longest path is that of Linux, 4095 bytes, so a program behaves
    // alike on both (a path that grows without end fails at the same step).
    constexpr std::size_t longest_path = 4095;
    if (path.size() > longest_path)
        return std::nullopt;
    const int size = static_cast<int>(path.size());
    const int length = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), length);
    if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\"))
        return wide;
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD written = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return std::nullopt;
    full.resize(written);
    if (full.starts_with(L"\\\\.\\"))
        return full;  // a device path: refused after opening
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Opens a disk file. Others may read, write, rename or delete it while it is
// open (as on POSIX, and so a program may hold one file open for writing and
// for reading at once); a file another process holds without sharing is not
// waited for: the open fails. Folders, devices and pipes are refused.
HANDLE open_disk_file(std::string_view path, DWORD access, DWORD disposition) {
    if (path.empty() || holds_nul(path) || names_device(path))
        return INVALID_HANDLE_VALUE;
    const auto name = wide_path(path);
    if (!name)
        return INVALID_HANDLE_VALUE;
    HANDLE file = ::CreateFileW(name->c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Bytes read into buffer (0 at end), or nothing on failure. The end of a
// pipe whose writer has gone is its end of input; an empty pipe in no-wait
// mode is waited on, as a blocking read would wait.
std::optional<std::size_t> read_some(HANDLE file, char* buffer, std::size_t count) {
    for (;;) {
        DWORD got = 0;
        if (::ReadFile(file, buffer, static_cast<DWORD>(std::min(count, max_transfer)), &got, nullptr))
            return got;
        const DWORD error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
            return 0;
        if (error != ERROR_NO_DATA)
            return std::nullopt;
        ::Sleep(1);
    }
}

// Writes everything, retrying partial writes; false on failure. A write that
// takes nothing (a full pipe in no-wait mode) is tried again after a pause,
// as a blocking write would wait.
bool write_all(HANDLE file, const char* bytes, std::size_t count) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE)
        return false;
    while (count > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes, static_cast<DWORD>(std::min(count, max_transfer)), &written, nullptr))
            return false;
        if (written == 0) {
            ::Sleep(1);
            continue;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

// Both pieces in one write, so that a line never reaches a shared console or
// pipe in two parts. Should no copy of them fit in memory, they go in two.
bool write_pieces(HANDLE file, std::string_view first, std::string_view second) {
    if (second.empty())
        return write_all(file, first.data(), first.size());
    if (first.empty())
        return write_all(file, second.data(), second.size());
    const std::size_t total = first.size() + second.size();
    char small[4096];
    char* joined = total <= sizeof small ? small : new (std::nothrow) char[total];
    if (joined == nullptr)
        return write_all(file, first.data(), first.size()) && write_all(file, second.data(), second.size());
    std::copy(first.begin(), first.end(), joined);
    std::copy(second.begin(), second.end(), joined + first.size());
    const bool done = write_all(file, joined, total);
    if (joined != small)
        delete[] joined;
    return done;
}

// Standard input read ahead: only from a disk file, whose position can be
// put back when the run ends. Kept for the one handle it was read from.
enum class InputMode : std::uint8_t { unknown, blocks, bytes };
struct StandardInput {
    HANDLE handle = nullptr;
    InputMode mode = InputMode::unknown;
    std::size_t next = 0;  // first byte not yet handed out
    std::size_t end = 0;   // bytes in the buffer
    char buffer[65536];
};
StandardInput standard_input;

}  // namespace

// A standard handle the process was started without (closed, or a value
// that names nothing in this process) is cleared before anything is opened:
// a handle the program opens later might otherwise get the same value and
// receive the output meant for the stream. A cleared stream reads as ended
// and takes writes as failures, which are ignored. Opening a file on an empty
// drive fails at once instead of waiting on a dialog box.
bool open_missing_standard_streams() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        HANDLE stream = ::GetStdHandle(which);
        if (stream == nullptr)
            continue;
        ::SetLastError(NO_ERROR);
        if (stream == INVALID_HANDLE_VALUE ||
            (::GetFileType(stream) == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR)) {
            ::SetStdHandle(which, nullptr);
        }
    }
    return true;
}

namespace os {

std::optional<std::string> read_whole_file(std::string_view path, std::size_t max_bytes) {
    HANDLE file = open_disk_file(path, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    // A buffer of the file's size plus the one byte that shows it has not
    // grown; a file that grew since doubles the buffer as it fills.
    std::size_t size = std::size_t{1} << 16;
    LARGE_INTEGER length;
    if (::GetFileSizeEx(file, &length) && length.QuadPart >= 0)
        size = static_cast<std::size_t>(std::min<std::uint64_t>(length.QuadPart, max_bytes)) + 1;
    std::string text(size, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == text.size())
            text.resize(text.size() * 2);
        const auto got = read_some(file, text.data() + used, text.size() - used);
        if (!got) {
            ::CloseHandle(file);
            return std::nullopt;
        }
        if (*got == 0)
            break;
        used += *got;
        if (used >= max_bytes) {
            ::CloseHandle(file);
            return std::nullopt;
        }
    }
    ::CloseHandle(file);
    text.resize(used);
    return text;
}

void write_stdout(std::string_view first, std::string_view second) {
    (void)write_pieces(::GetStdHandle(STD_OUTPUT_HANDLE), first, second);
}

void write_stderr(std::string_view text) { (void)write_pieces(::GetStdHandle(STD_ERROR_HANDLE), text, {}); }

std::optional<FileIdentity> identify_file(std::string_view path) {
    if (path.empty() || holds_nul(path) || names_device(path))
        return std::nullopt;
    const auto name = wide_path(path);
    if (!name)
        return std::nullopt;
    HANDLE file = ::CreateFileW(name->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool known = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!known)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<unsigned char> read_stdin_byte() {
    StandardInput& in = standard_input;
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input != in.handle) {
        in.handle = input;
        in.mode = InputMode::unknown;
        in.next = in.end = 0;
    }
    if (in.next < in.end)
        return static_cast<unsigned char>(in.buffer[in.next++]);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return std::nullopt;
    if (in.mode == InputMode::unknown)
        in.mode = ::GetFileType(input) == FILE_TYPE_DISK ? InputMode::blocks : InputMode::bytes;
    const std::size_t wanted = in.mode == InputMode::blocks ? sizeof in.buffer : 1;
    const auto got = read_some(input, in.buffer, wanted);
    if (!got || *got == 0)
        return std::nullopt;
    in.next = 1;
    in.end = *got;
    return static_cast<unsigned char>(in.buffer[0]);
}

}  // namespace os

bool change_directory(std::string_view path) {
    if (path.empty() || holds_nul(path))
        return false;
    const auto name = wide_path(path);
    return name && ::SetCurrentDirectoryW(name->c_str()) != 0;
}

std::size_t read_stdin_some(char* buffer, std::size_t count) {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return 0;
    return read_some(input, buffer, count).value_or(0);
}

std::vector<std::string> files_ending_in(std::string_view folder, std::string_view suffix) {
    std::vector<std::string> names;
    const auto pattern = wide_path(std::string(folder.empty() ? "." : folder) + "\\*");
    if (!pattern)
        return names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern->c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const int length = ::WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, nullptr, 0, nullptr, nullptr);
        if (length <= 1)
            continue;
        std::string name(static_cast<std::size_t>(length - 1), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, found.cFileName, -1, name.data(), length, nullptr, nullptr);
        if (name.size() > suffix.size() && name.ends_with(suffix))
            names.push_back(std::move(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

namespace os {

void give_back_unread_input() {
    StandardInput& in = standard_input;
    if (in.next < in.end && in.handle == ::GetStdHandle(STD_INPUT_HANDLE)) {
        LARGE_INTEGER back;
        back.QuadPart = -static_cast<LONGLONG>(in.end - in.next);
        (void)::SetFilePointerEx(in.handle, back, nullptr, FILE_CURRENT);
    }
    in.next = in.end = 0;
}

std::optional<FileHandle> open_for_reading(std::string_view path) {
    HANDLE file = open_disk_file(path, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return reinterpret_cast<FileHandle>(file);
}

std::optional<FileHandle> create_for_writing(std::string_view path) {
    HANDLE file = open_disk_file(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return reinterpret_cast<FileHandle>(file);
}

std::optional<std::size_t> read_file(FileHandle file, char* buffer, std::size_t count) {
    return read_some(handle_of(file), buffer, count);
}

bool write_file(FileHandle file, std::string_view bytes) {
    return write_all(handle_of(file), bytes.data(), bytes.size());
}

void close_file(FileHandle file) { ::CloseHandle(handle_of(file)); }

namespace {

std::optional<FileIdentity> disk_file_of(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (file == nullptr || file == INVALID_HANDLE_VALUE || ::GetFileType(file) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> identify_regular_file(FileHandle file) { return disk_file_of(handle_of(file)); }

bool is_standard_output_or_error(const FileIdentity& identity) {
    return disk_file_of(::GetStdHandle(STD_OUTPUT_HANDLE)) == identity ||
           disk_file_of(::GetStdHandle(STD_ERROR_HANDLE)) == identity;
}

void give_back(FileHandle file, std::size_t count) {
    LARGE_INTEGER back;
    back.QuadPart = -static_cast<LONGLONG>(count);
    (void)::SetFilePointerEx(handle_of(file), back, nullptr, FILE_CURRENT);
}

}  // namespace os

// Windows has no signal for a vanished reader: the write fails with
// ERROR_NO_DATA or ERROR_BROKEN_PIPE, and the failure is ignored.
std::optional<std::uint64_t> file_size(std::string_view path) {
    if (path.empty() || holds_nul(path) || names_device(path))
        return std::nullopt;
    const auto name = wide_path(path);
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!name || !::GetFileAttributesExW(name->c_str(), GetFileExInfoStandard, &info))
        return std::nullopt;
    return (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
}

// The process heap takes no such hint.
void expect_allocations(std::size_t) {}

void ignore_broken_pipe() {}

std::optional<CodeMemory> allocate_code_memory(std::size_t bytes) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::size_t page = system.dwPageSize;
    if (bytes == 0 || bytes > SIZE_MAX - page)
        return std::nullopt;
    const std::size_t size = (bytes + page - 1) / page * page;
    void* address = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!address)
        return std::nullopt;
    return CodeMemory{address, size};
}

bool make_code_executable(const CodeMemory& memory) {
    DWORD old = 0;
    if (!VirtualProtect(memory.address, memory.size, PAGE_EXECUTE_READ, &old))
        return false;
    FlushInstructionCache(GetCurrentProcess(), memory.address, memory.size);
    return true;
}

bool make_code_writable(const CodeMemory& memory) {
    DWORD old = 0;
    return VirtualProtect(memory.address, memory.size, PAGE_READWRITE, &old) != 0;
}

void release_code_memory(const CodeMemory& memory) {
    if (memory.address)
        VirtualFree(memory.address, 0, MEM_RELEASE);
}

std::optional<PageAccess> page_access(const void* address) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(address, &info, sizeof info) == 0 || info.State != MEM_COMMIT)
        return std::nullopt;
    const DWORD p = info.Protect & 0xff;
    return PageAccess{p == PAGE_READWRITE || p == PAGE_WRITECOPY || p == PAGE_EXECUTE_READWRITE ||
                          p == PAGE_EXECUTE_WRITECOPY,
                      p == PAGE_EXECUTE || p == PAGE_EXECUTE_READ || p == PAGE_EXECUTE_READWRITE ||
                          p == PAGE_EXECUTE_WRITECOPY};
}

}  // namespace oxel::platform
