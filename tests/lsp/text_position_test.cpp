#include <gtest/gtest.h>

#include "lsp/text_position.h"
#include "lsp/uri.h"

namespace oxel::lsp {
namespace {

TEST(LspPositions, CharactersOfBytesInBothEncodings) {
    struct Case {
        std::string_view line;
        std::size_t bytes;
        std::uint32_t utf16;
        std::uint32_t utf8;
    };
    const Case cases[] = {
        {"echo x", 5, 5, 5},
        {"\xC3\xA9x", 2, 1, 2},                  // é: two bytes, one unit
        {"\xE2\x82\xAC!", 3, 1, 3},              // €: three bytes, one unit
        {"\xF0\x9F\x98\x80x", 4, 2, 4},          // an emoji: four bytes, a surrogate pair
        {"\xF0\x9F\x98\x80x", 5, 3, 5},
        // bytes that are not UTF-8 count one each
        {"\xFFx", 1, 1, 1},
        {"\x80\x80x", 2, 2, 2},                  // lone continuation bytes
        {"\xC0\xAFx", 2, 2, 2},                  // overlong
        {"\xED\xA0\x80x", 3, 3, 3},              // a surrogate
        {"\xF4\x90\x80\x80", 4, 4, 4},           // past U+10FFFF
        {"\xE2\x82", 2, 2, 2},                   // cut short at the end
        // a count that stops inside a sequence
        {"\xE2\x82\xAC", 2, 2, 2},
        // past the end: the whole line
        {"ab", 9, 2, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(characters_in(c.line, c.bytes, Encoding::utf16), c.utf16) << c.line;
        EXPECT_EQ(characters_in(c.line, c.bytes, Encoding::utf8), c.utf8) << c.line;
    }
}

TEST(LspPositions, BytesOfCharacters) {
    struct Case {
        std::string_view line;
        std::uint32_t characters;
        Encoding encoding;
        std::size_t bytes;
    };
    const Case cases[] = {
        {"\xC3\xA9x", 1, Encoding::utf16, 2},
        {"\xC3\xA9x", 2, Encoding::utf8, 2},
        {"\xF0\x9F\x98\x80x", 2, Encoding::utf16, 4},
        {"\xF0\x9F\x98\x80x", 1, Encoding::utf16, 0},  // inside the pair: its start
        {"\xFF\xFEx", 2, Encoding::utf16, 2},
        {"ab", 7, Encoding::utf16, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bytes_before(c.line, c.characters, c.encoding), c.bytes) << c.line;
}

TEST(LspPositions, LinesEndAtLineFeedsWithTheirCarriageReturns) {
    LineIndex index("a\r\nb\xC3\xA9\n\nlast\r");
    ASSERT_EQ(index.count(), 4u);
    EXPECT_EQ(index.line(0), "a");
    EXPECT_EQ(index.line(1), "b\xC3\xA9");
    EXPECT_EQ(index.line(2), "");
    EXPECT_EQ(index.line(3), "last\r");  // no line end follows: the byte is the line's
    EXPECT_EQ(index.line(9), "");
    EXPECT_EQ(index.offset({1, 1}, Encoding::utf16), 4u);
    EXPECT_EQ(index.offset({1, 2}, Encoding::utf16), 6u);
    EXPECT_EQ(index.offset({1, 3}, Encoding::utf8), 6u);
    EXPECT_EQ(index.offset({1, 2}, Encoding::utf8), 4u);  // inside the é: its start
    EXPECT_EQ(index.offset({8, 0}, Encoding::utf16), 13u);
    EXPECT_EQ(index.position(6, Encoding::utf16), (Position{1, 2}));
    EXPECT_EQ(index.position(6, Encoding::utf8), (Position{1, 3}));
    EXPECT_EQ(index.end(Encoding::utf16), (Position{3, 5}));
}

TEST(LspUris, PathsAndUrisBothWays) {
    struct Case {
        std::string_view uri;
        std::string_view path;
    };
    const Case cases[] = {
        {"file:///home/a/main.ox", "/home/a/main.ox"},
        {"file:///home/a%20b/x%25.ox", "/home/a b/x%.ox"},
        {"file:///C:/dir/main.ox", "C:/dir/main.ox"},
        {"file://server/share/x.ox", "//server/share/x.ox"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(path_from_uri(c.uri), c.path);
        EXPECT_EQ(uri_from_path(c.path), c.uri);
    }
    // read, not written this way
    EXPECT_EQ(path_from_uri("FILE://localhost/tmp/x.ox"), "/tmp/x.ox");
    EXPECT_EQ(path_from_uri("file:///tmp/bad%zz%4"), "/tmp/bad%zz%4");
    EXPECT_EQ(path_from_uri("untitled:Untitled-1"), "untitled:Untitled-1");
    EXPECT_EQ(uri_from_path("C:\\dir\\m.ox"), "file:///C:/dir/m.ox");
}

}  // namespace
}  // namespace oxel::lsp
