#include "runtime/console.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "in_memory_run.h"
#include "runtime/runtime_test_support.h"

namespace oxel {
namespace {

using namespace oxel::test;
using namespace std::literals;

// Runs `read` with standard input taken from a pipe that holds `input`,
// then puts the real standard input back.
template <typename Read>
void with_stdin(const std::string& input, Read&& read) {
    ASSERT_LE(input.size(), 60000u);  // must fit in the pipe: nobody reads yet
#ifdef _WIN32
    HANDLE reader, writer;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 65536));
    DWORD written = 0;
    ASSERT_TRUE(input.empty() ||
                ::WriteFile(writer, input.data(), static_cast<DWORD>(input.size()), &written, nullptr));
    ASSERT_EQ(written, input.size());
    ::CloseHandle(writer);
    HANDLE saved = ::GetStdHandle(STD_INPUT_HANDLE);
    ::SetStdHandle(STD_INPUT_HANDLE, reader);
    read();
    ::SetStdHandle(STD_INPUT_HANDLE, saved);
    ::CloseHandle(reader);
#else
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    ::close(ends[1]);
    const int saved = ::dup(STDIN_FILENO);
    ::dup2(ends[0], STDIN_FILENO);
    ::close(ends[0]);
    read();
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
#endif
}

TEST(Console, PrintValue) {
    const std::pair<Value, std::string> cases[] = {
        {I(-5), "-5\n"},
        {I(INT64_MIN), "-9223372036854775808\n"},
        {F(2.0), "2\n"},
        {F(0.1 + 0.2), "0.30000000000000004\n"},
        {F(-std::numeric_limits<double>::infinity()), "-inf\n"},
        {S(""), "\n"},
        {S("a\0b"sv), "a\0b\n"s},
        {Arr(), "[array]\n"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(output_of([&] { print_value(value); }), expected) << describe(value);
    }
}

TEST(Console, VgaBanner) {
    const std::string out = output_of([] {
        write_vga_banner(S("vga"));
        write_vga_banner(S("vga mode 13"));
        write_vga_banner(I(13));  // the compiler never passes one: shown as echo would
    });
    EXPECT_EQ(out,
              "[VGA vga initialized]\n[VGA vga mode 13 initialized]\n[VGA 13 initialized]\n");
}

TEST(Console, InputLines) {
    const std::string full(4096, 'x');
    const std::string over = std::string(4096, 'y') + std::string(900, ' ') + "77  ";  // 5000 bytes
    const std::string input =
        " 42 \t\n-7\n+7\n1_000\n42abc\n2.5\n_5\n5_\n"
        "9223372036854775808\n-9223372036854775808\n\n \t \n"
        "hello\r\na\r\r\n\r\n 12\t\r\n" +
        full + "\n" + over + "\n" + "tail";
    const std::string expected[] = {
        "int 42",
        "int -7",
        "int 7",
        "int 1000",
        "string 42abc",
        "string 2.5",
        "string _5",
        "string 5_",
        "string 9223372036854775808",
        "int -9223372036854775808",
        "int 0",
        "int 0",
        "string hello",
        "string a\r",
        "int 0",
        "int 12",
        "string " + full,
        "int 0",  // the 4096 bytes leave the line feed behind
        "string " + std::string(4096, 'y'),
        "int 77",  // the rest of the 5000 bytes, trimmed
        "string tail",
        "int 0",
        "int 0",  // end of input
    };
    Heap heap;
    std::vector<Value> got;
    with_stdin(input, [&] {
        for (std::size_t i = 0; i < std::size(expected); ++i)
            got.push_back(read_input_line(heap));
    });
    // Strings were copied out of the line buffer: they still read right.
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(describe(got[i]), expected[i]) << "line " << i;
}

// Input stops at the line feed and leaves the rest for whoever reads next.
#ifdef _WIN32
// Standard input that someone put in no-wait mode is waited on, not taken
// for its end, while the writer is still to write.
TEST(Console, InputWaitsOnNoWaitPipe) {
    HANDLE reader, writer;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
    DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
    ASSERT_TRUE(::SetNamedPipeHandleState(reader, &mode, nullptr, nullptr));
    char probe;
    DWORD got = 0;
    ASSERT_FALSE(::ReadFile(reader, &probe, 1, &got, nullptr));  // the mode took
    ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_DATA));
    std::thread late_writer([writer] {
        ::Sleep(50);
        DWORD written = 0;
        ::WriteFile(writer, "42\n", 3, &written, nullptr);
        ::CloseHandle(writer);
    });
    HANDLE saved = ::GetStdHandle(STD_INPUT_HANDLE);
    ::SetStdHandle(STD_INPUT_HANDLE, reader);
    Heap heap;
    EXPECT_EQ(describe(read_input_line(heap)), "int 42");
    EXPECT_EQ(describe(read_input_line(heap)), "int 0");
    ::SetStdHandle(STD_INPUT_HANDLE, saved);
    late_writer.join();
    ::CloseHandle(reader);
}
#endif

TEST(Console, InputConsumesOneLine) {
    Heap heap;
    with_stdin("first\nsecond\n", [&] {
        EXPECT_EQ(describe(read_input_line(heap)), "string first");
        char rest[16];
#ifdef _WIN32
        DWORD got = 0;
        EXPECT_TRUE(::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), rest, sizeof rest, &got, nullptr));
#else
        const ssize_t got = ::read(STDIN_FILENO, rest, sizeof rest);
#endif
        EXPECT_EQ(got, 7);
        EXPECT_EQ(std::string_view(rest, 7), "second\n");
    });
}

}  // namespace
}  // namespace oxel
