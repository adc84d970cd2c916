#include "runtime/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "runtime/runtime_test_support.h"

namespace oxel {
namespace {

using namespace oxel::test;
using namespace std::literals;

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of our own: create_directory is false when it exists.
        std::random_device random;
        do {
            dir_ = std::filesystem::temp_directory_path() / ("oxel-files-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(dir_));
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The path of a file in the test's folder; kept alive for string values.
    Value path(const std::string& name) {
        paths_.push_back(std::make_unique<std::string>((dir_ / name).string()));
        return S(*paths_.back());
    }
    std::string contents(const std::string& name) {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    std::filesystem::path dir_;
    std::vector<std::unique_ptr<std::string>> paths_;
    FileTable files;
    Heap heap;
};

TEST_F(Files, WriteThenReadBack) {
    put("out.txt", "old contents that w must remove");
    const Value out = I(files.open(path("out.txt"), S("w"), 1));
    EXPECT_EQ(out.as_int(), 0);
    for (const Value& v : {I(-12), F(2.5), S(""), S("ab\0\n"sv), F(1e21), I(INT64_MIN)})
        files.write(out, v, 1);
    files.close(out, 1);
    const std::string written = "-122.5ab\0\n1000000000000000000000-9223372036854775808"s;
    EXPECT_EQ(contents("out.txt"), written);

    // Handles are never reused; reads continue where the last one stopped.
    const Value in = I(files.open(path("out.txt"), S("r"), 1));
    EXPECT_EQ(in.as_int(), 1);
    EXPECT_EQ(files.read(in, 0, heap, 1).as_string(), "");
    EXPECT_EQ(files.read(in, 4, heap, 1).as_string(), "-122");
    EXPECT_EQ(files.read(in, 1000000, heap, 1).as_string(), written.substr(4));
    EXPECT_EQ(files.read(in, 10, heap, 1).as_string(), "");
    files.close(in, 1);
}

// Reads ahead must show exactly what reading only the bytes asked for shows.
// A model of the files (their bytes, and each handle's offset) is driven
// beside the real table by random opens, reads of every size around the
// block, writes through other handles and closes, on files longer than a
// block; every read is compared with the model's.
TEST_F(Files, ReadsAheadShowWhatExactReadsShow) {
    std::mt19937_64 random(7);
    const std::string names[] = {"a.txt", "b.txt"};
    std::map<std::string, std::string> model;
    struct Handle {
        Value value;
        std::string name;
        std::size_t offset;
        bool writing;
    };
    std::vector<Handle> open;
    auto random_bytes = [&](std::size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes)
            c = static_cast<char>('a' + random() % 26);
        return bytes;
    };
    for (const std::string& name : names) {
        model[name] = random_bytes(40000);
        put(name, model[name]);
    }
    for (int step = 0; step < 3000; ++step) {
        const auto choice = random() % 10;
        if (choice < 2 || open.empty()) {
            const std::string& name = names[random() % 2];
            const bool writing = random() % 4 == 0;
            const Value handle = I(files.open(path(name), S(writing ? "w" : "r"), 1));
            if (writing)
                model[name].clear();
            open.push_back({handle, name, 0, writing});
            continue;
        }
        Handle& h = open[random() % open.size()];
        if (choice == 2) {
            files.close(h.value, 1);
            std::erase_if(open, [&](const Handle& other) { return other.value.as_int() == h.value.as_int(); });
        } else if (h.writing) {
            const std::string bytes = random_bytes(1 + random() % 3000);
            files.write(h.value, S(bytes), 1);
            std::string& text = model[h.name];
            text.resize(std::max(text.size(), h.offset + bytes.size()));
            text.replace(h.offset, bytes.size(), bytes);
            h.offset += bytes.size();
        } else {
            const std::size_t sizes[] = {1, 2, 7, 16383, 16384, 16385, 40001};
            const std::size_t wanted = choice < 8 ? 1 + random() % 5 : sizes[random() % std::size(sizes)];
            const std::string& text = model[h.name];
            const std::string expected = h.offset < text.size() ? text.substr(h.offset, wanted) : "";
            h.offset += expected.size();
            ASSERT_EQ(std::string(files.read(h.value, static_cast<std::int64_t>(wanted), heap, 1).as_string()),
                      expected)
                << "step " << step;
        }
    }
    for (const Handle& h : open)  // an open file cannot be removed on Windows
        files.close(h.value, 1);
}

TEST_F(Files, ShortFileGivesWhatItHas) {
    put("four.txt", "abcd");
    const Value in = I(files.open(path("four.txt"), S("r"), 1));
    EXPECT_EQ(files.read(in, 10, heap, 1).as_string(), "abcd");
    EXPECT_EQ(files.read(in, 10, heap, 1).as_string(), "");
    files.close(in, 1);
    files.close(in, 1);     // twice: nothing happens
    files.close(I(99), 1);  // never opened
    files.close(I(-5), 1);
    EXPECT_EQ(failure_of([&] { files.read(in, 0, heap, 5); }), "File not open @5");
}

// A read of one byte gives that byte's shared string and takes no buffer of
// the heap, for every byte, from a block read ahead and from a file read
// straight through (past the files that read ahead) alike; the near miss,
// a read of two bytes, takes one.
TEST_F(Files, OneByteReadsTakeNoBuffer) {
    std::string every_byte;
    for (int b = 0; b < 256; ++b)
        every_byte += static_cast<char>(b);
    put("bytes.bin", every_byte + "xy");
    put("pad.txt", "");
    std::vector<Value> opened;
    for (bool ahead : {true, false}) {
        SCOPED_TRACE(ahead ? "read ahead" : "read straight through");
        if (!ahead)  // take the remaining places that read ahead
            while (opened.size() < 70)
                opened.push_back(I(files.open(path("pad.txt"), S("r"), 1)));
        const Value in = I(files.open(path("bytes.bin"), S("r"), 1));
        for (int b = 0; b < 256; ++b) {
            const Value byte = files.read(in, 1, heap, 1);
            ASSERT_EQ(byte.as_string(), std::string(1, static_cast<char>(b)));
            EXPECT_FALSE(byte.in_heap());
        }
        EXPECT_EQ(heap.count_objects(), 0u);
        const Value two = files.read(in, 2, heap, 1);
        EXPECT_EQ(two.as_string(), "xy");
        EXPECT_TRUE(two.in_heap());
        EXPECT_EQ(heap.count_objects(), 1u);
        EXPECT_EQ(files.read(in, 1, heap, 1).as_string(), "");  // end of file
        heap.collect();
        files.close(in, 1);
    }
    for (const Value& h : opened)
        files.close(h, 1);
}

TEST_F(Files, OpenFailures) {
    put("here.txt", "x");
    const std::string missing = (dir_ / "missing.txt").string();
    const std::string no_dir = (dir_ / "no" / "such.txt").string();
    const std::string with_nul = (dir_ / "a\0b"s).string();
    struct Case {
        Value path;
        Value mode;
        std::string expected;
    };
    const Case cases[] = {
        {I(1), S("r"), "fopen path must be a string @3"},
        {I(1), S("rb"), "fopen path must be a string @3"},  // the path is tested first
        {Arr(), I(0), "fopen path must be a string @3"},
        {path("here.txt"), I(0), "fopen mode must be \"r\" or \"w\" @3"},
        {path("here.txt"), S("rb"), "fopen mode must be \"r\" or \"w\" @3"},
        {path("here.txt"), S("R"), "fopen mode must be \"r\" or \"w\" @3"},
        {path("here.txt"), S(" r"), "fopen mode must be \"r\" or \"w\" @3"},
        {path("here.txt"), S("w+"), "fopen mode must be \"r\" or \"w\" @3"},
        {path("here.txt"), S(""), "fopen mode must be \"r\" or \"w\" @3"},
        {path("missing.txt"), S("r"), "Cannot open '" + missing + "' @3"},
        {path("missing.txt"), S("x"), "fopen mode must be \"r\" or \"w\" @3"},  // mode before the platform
        {S(no_dir), S("w"), "Cannot create '" + no_dir + "' @3"},
        {S(with_nul), S("r"), "Cannot open '" + with_nul + "' @3"},
        {S(with_nul), S("w"), "Cannot create '" + with_nul + "' @3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failure_of([&] { files.open(c.path, c.mode, 3); }), c.expected) << describe(c.path);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "a"));  // the NUL did not shorten the path
}

TEST_F(Files, HandleFailures) {
    put("in.txt", "data");
    const Value in = I(files.open(path("in.txt"), S("r"), 1));
    const Value out = I(files.open(path("out.txt"), S("w"), 1));
    const Value closed = I(files.open(path("in.txt"), S("r"), 1));
    files.close(closed, 1);

    struct ReadCase {
        Value handle;
        std::int64_t count;
        std::string expected;
    };
    const ReadCase reads[] = {
        {closed, -1, "Bad read size -1 @4"},  // the size is tested before the handle
        {F(0.0), 1000001, "Bad read size 1000001 @4"},
        {closed, 0, "File not open @4"},
        {I(99), 1, "File not open @4"},
        {I(-1), 1, "File not open @4"},
        {F(0.0), 1, "Bad file handle @4"},
        {S("0"), 1, "Bad file handle @4"},
        {out, 1, "File read failed @4"},  // opened for writing
    };
    for (const ReadCase& c : reads) {
        EXPECT_EQ(failure_of([&] { files.read(c.handle, c.count, heap, 4); }), c.expected)
            << describe(c.handle) << " count " << c.count;
    }

    struct WriteCase {
        Value handle;
        Value value;
        std::string expected;
    };
    const WriteCase writes[] = {
        {closed, I(1), "File not open @4"},
        {closed, Arr(), "File not open @4"},  // the handle is tested before the kind
        {I(99), S("x"), "File not open @4"},
        {F(1.0), I(1), "Bad file handle @4"},
        {Arr(), I(1), "Bad file handle @4"},
        {out, Arr(), "Cannot write array to file @4"},
        {in, S("x"), "File write failed @4"},  // opened for reading
    };
    for (const WriteCase& c : writes) {
        EXPECT_EQ(failure_of([&] { files.write(c.handle, c.value, 4); }), c.expected)
            << describe(c.handle) << " write " << describe(c.value);
    }
    EXPECT_EQ(failure_of([&] { files.close(F(0.0), 4); }), "Bad file handle @4");
    files.close(in, 1);
    files.close(out, 1);
}

}  // namespace
}  // namespace oxel
