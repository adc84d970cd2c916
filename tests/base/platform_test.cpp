#include "base/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "huge_pages.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

namespace oxel::platform {
namespace {

using namespace std::literals;

class Platform : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        do {
            root_ = std::filesystem::temp_directory_path() / ("oxel-platform-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(root_));
        dir = root_.string() + "/";
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    // Writes the file through the platform layer; false if it cannot be created.
    static bool put(const std::string& path, std::string_view bytes) {
        const auto file = create_for_writing(path);
        if (!file)
            return false;
        const bool written = write_file(*file, bytes);
        close_file(*file);
        return written;
    }
    // Everything from an open file, through read_file.
    static std::string rest_of(FileHandle file) {
        std::string text;
        char buffer[100];
        while (const auto got = read_file(file, buffer, sizeof buffer)) {
            if (*got == 0)
                break;
            text.append(buffer, *got);
        }
        return text;
    }

    std::string dir;

private:
    std::filesystem::path root_;
};

TEST_F(Platform, FilesEndingIn) {
    for (const char* name : {"b.oxh", "a.oxh", "c.ox", ".oxh", "a.oxh.bak"})
        ASSERT_TRUE(put(dir + name, "x"));
    std::filesystem::create_directory(dir + "sub");
    EXPECT_EQ(files_ending_in(dir, ".oxh"), (std::vector<std::string>{"a.oxh", "b.oxh"}));
    EXPECT_EQ(files_ending_in(dir + "sub", ".oxh"), std::vector<std::string>{});
    EXPECT_EQ(files_ending_in(dir + "none/", ".oxh"), std::vector<std::string>{});
    EXPECT_EQ(files_ending_in(dir + "c.ox", ".oxh"), std::vector<std::string>{});
}

// No byte is translated in either direction: not the line ends, not the
// end-of-file byte 26 that text-mode reading stops at.
TEST_F(Platform, EveryByteRoundTrips) {
    std::string bytes = "\r\n\n\r\x1a\r\x1a\n"s;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    ASSERT_TRUE(put(dir + "bytes", bytes));
    EXPECT_EQ(read_whole_file(dir + "bytes", 1000), bytes);
    const auto file = open_for_reading(dir + "bytes");
    ASSERT_TRUE(file);
    EXPECT_EQ(rest_of(*file), bytes);
    close_file(*file);
}

// One program may hold the same file open for writing and for reading, and
// create it anew while a reader has it open.
TEST_F(Platform, FileOpenTwiceAtOnce) {
    const std::string path = dir + "shared.txt";
    const auto writer = create_for_writing(path);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(write_file(*writer, "first"));
    const auto reader = open_for_reading(path);
    ASSERT_TRUE(reader);
    EXPECT_EQ(rest_of(*reader), "first");
    ASSERT_TRUE(write_file(*writer, " more"));
    EXPECT_EQ(rest_of(*reader), " more");
    close_file(*writer);
    EXPECT_TRUE(put(path, "again"));
    EXPECT_EQ(read_whole_file(path, 100), "again");
    close_file(*reader);
}

// Paths longer than the classic 260-character limit, reached through a
// folder and back again many times, up to 4095 bytes; none of 4096 or more.
TEST_F(Platform, LongPaths) {
    std::filesystem::create_directory(dir + "sub");
    std::string path = dir;
    while (path.size() < 4000)
        path += "sub/../";
    const std::string name = std::string(4095 - path.size(), 'n');
    ASSERT_TRUE(put(path + name, "far"));
    EXPECT_EQ(read_whole_file(dir + name, 100), "far");
    EXPECT_EQ(read_whole_file(path + name, 100), "far");
    EXPECT_FALSE(read_whole_file(path + "./" + name.substr(1), 100));
    EXPECT_FALSE(open_for_reading(path + "./" + name.substr(1)));
    EXPECT_FALSE(create_for_writing(path + "./" + name));
}

// The size as the system sees it, or nothing; a NUL byte ends no path
// early, so "big\0" is not the file "big".
TEST_F(Platform, FileSize) {
    ASSERT_TRUE(put(dir + "big", std::string(70000, 'x')));
    ASSERT_TRUE(put(dir + "empty", ""));
    const struct {
        std::string path;
        std::optional<std::uint64_t> size;
    } cases[] = {
        {dir + "big", 70000},
        {dir + "empty", 0},
        {dir + "none", std::nullopt},
        {dir + "big\0"s, std::nullopt},
        {dir + "big/x", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(file_size(c.path), c.size) << c.path;
}

#if defined(__linux__) && defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)

char* volatile seen_block = nullptr;  // so that the block is not left out

// After the hint, blocks that fill the room come from the heap, in memory
// marked for huge pages; before it (or after a hint of less than 256 KiB)
// they do not. Only where the system gives huge pages to marked memory.
TEST(PlatformMemory, ExpectedAllocationsGoToHugePages) {
    if (!test::huge_pages_on_request() || test::marked_kib() != 0)
        GTEST_SKIP() << "no huge pages on request here";
    constexpr std::size_t block = std::size_t{6} << 20;
    const std::size_t mapped_before = ::mallinfo2().hblks;
    const auto fill = [] {
        auto* bytes = static_cast<char*>(std::malloc(block));
        seen_block = bytes;
        std::memset(bytes, 'x', block);
        const bool in_marked = test::marked(bytes, block);
        const std::size_t mapped = ::mallinfo2().hblks;
        std::free(bytes);
        return std::pair{in_marked, mapped};
    };
    expect_allocations(std::size_t{255} << 10);
    EXPECT_FALSE(fill().first);
    expect_allocations(2 * block);
    const auto [in_marked, mapped] = fill();
    EXPECT_TRUE(in_marked);
    EXPECT_EQ(mapped, mapped_before);
}

#endif

#ifdef _WIN32

// Names that Windows takes for devices in every folder and with any
// extension are refused, so a program never reads the keyboard or writes
// into a device when it names a file; names that merely resemble them are
// ordinary files.
TEST_F(Platform, DeviceNamesAreNoFiles) {
    for (const char* name : {"nul", "NUL", "con", "Con.txt", "aux.log.old", "prn", "com1", "COM9.dat", "lpt1",
                             "lpt0", "conin$", "CONOUT$", "nul ", "nul:", "sub\\nul", "sub/Con.txt"}) {
        const std::string path = dir + name;
        EXPECT_FALSE(create_for_writing(path)) << name;
        EXPECT_FALSE(open_for_reading(path)) << name;
        EXPECT_FALSE(read_whole_file(path, 100)) << name;
        EXPECT_FALSE(open_for_reading(name)) << name;
        EXPECT_FALSE(read_whole_file(name, 100)) << name;
    }
    // Spelled as devices outright, they are still no disk files.
    for (const char* name : {"\\\\.\\nul", "//./nul", "\\\\.\\CON", "C:nul", "c:CON.txt"}) {
        EXPECT_FALSE(create_for_writing(name)) << name;
        EXPECT_FALSE(open_for_reading(name)) << name;
    }
    for (const char* name :
         {"console.txt", "nul_", "null", "com10", "lpt", "auxiliary", "con-", "xnul", "prn1"}) {
        EXPECT_TRUE(put(dir + name, name)) << name;
        EXPECT_EQ(read_whole_file(dir + name, 100), name);
    }
}

// A file another process holds without sharing is not waited for: opening
// it fails at once, and creating it fails without emptying it. One held
// with sharing (a log being written, say) opens as usual.
TEST_F(Platform, FileHeldByAnotherProcess) {
    const std::string path = dir + "held.txt";
    ASSERT_TRUE(put(path, "contents"));
    const std::wstring wide = std::filesystem::path(path).wstring();
    HANDLE holder = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(open_for_reading(path));
    EXPECT_FALSE(read_whole_file(path, 100));
    EXPECT_FALSE(create_for_writing(path));
    ::CloseHandle(holder);
    EXPECT_EQ(read_whole_file(path, 100), "contents");

    holder = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_whole_file(path, 100), "contents");
    EXPECT_TRUE(put(path, "replaced"));
    ::CloseHandle(holder);
    EXPECT_EQ(read_whole_file(path, 100), "replaced");
}

// Standard output that someone put in no-wait mode loses nothing when the
// pipe fills: the write waits for the reader, as a blocking write would.
TEST(PlatformStreams, OutputWaitsOnFullNoWaitPipe) {
    HANDLE reader, writer;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 4096));
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    ASSERT_TRUE(::SetNamedPipeHandleState(writer, &mode, nullptr, nullptr));
    std::string received;
    std::thread slow_reader([&received, reader] {
        char buffer[1000];
        DWORD got = 0;
        while (::ReadFile(reader, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            received.append(buffer, got);
            ::Sleep(1);
        }
    });
    const std::string line(300000, 'x');
    HANDLE saved = ::GetStdHandle(STD_OUTPUT_HANDLE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, writer);
    write_stdout(line, "\n");
    ::SetStdHandle(STD_OUTPUT_HANDLE, saved);
    ::CloseHandle(writer);
    slow_reader.join();
    ::CloseHandle(reader);
    EXPECT_EQ(received.size(), line.size() + 1);
    EXPECT_EQ(received, line + "\n");
}

#endif

}  // namespace
}  // namespace oxel::platform

namespace oxel {
namespace {

// Code memory is writable until made executable, and never both; what it
// holds survives each change, and code added after runs.
TEST(CodeMemory, WritableThenExecutableNeverBoth) {
    const std::optional<platform::CodeMemory> memory = platform::allocate_code_memory(100);
    ASSERT_TRUE(memory);
    EXPECT_GE(memory->size, 100u);
    auto* bytes = static_cast<unsigned char*>(memory->address);
    bytes[0] = 0xc3;  // ret
    bytes[memory->size - 1] = 0x5a;
    const std::optional<platform::PageAccess> before = platform::page_access(bytes);
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->writable);
    EXPECT_FALSE(before->executable);
    ASSERT_TRUE(platform::make_code_executable(*memory));
    const std::optional<platform::PageAccess> after = platform::page_access(bytes + memory->size - 1);
    ASSERT_TRUE(after);
    EXPECT_FALSE(after->writable);
    EXPECT_TRUE(after->executable);
    EXPECT_EQ(bytes[0], 0xc3);
    EXPECT_EQ(bytes[memory->size - 1], 0x5a);
    ASSERT_TRUE(platform::make_code_writable(*memory));
    const std::optional<platform::PageAccess> again = platform::page_access(bytes);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->writable);
    EXPECT_FALSE(again->executable);
    EXPECT_EQ(bytes[memory->size - 1], 0x5a);
#if defined(__x86_64__) || defined(_M_X64)
    const unsigned char answer[] = {0xb8, 42, 0, 0, 0, 0xc3};  // mov eax, 42; ret
    std::memcpy(bytes + 16, answer, sizeof answer);
    ASSERT_TRUE(platform::make_code_executable(*memory));
    EXPECT_EQ(reinterpret_cast<int (*)()>(bytes + 16)(), 42);
#endif
    platform::release_code_memory(*memory);
    // Ordinary memory is no code.
    const int plain = 0;
    const std::optional<platform::PageAccess> data = platform::page_access(&plain);
    ASSERT_TRUE(data);
    EXPECT_FALSE(data->executable);
}

TEST(CodeMemory, RefusesNothingAndTooMuch) {
    EXPECT_FALSE(platform::allocate_code_memory(0));
    EXPECT_FALSE(platform::allocate_code_memory(SIZE_MAX));
}

}  // namespace
}  // namespace oxel
