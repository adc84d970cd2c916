#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "image/listing.h"
#include "image/program.h"

namespace oxel {
namespace {

TEST(Listing, ChunksInstructionsAndConstants) {
    Program program;
    Chunk function;
    function.name = "add2";
    function.file = "lib/m.oxh";
    function.arity = 2;
    function.slots = 3;
    emit(function, Opcode::push_int, -5, 0, 4);
    emit(function, Opcode::push_float, std::bit_cast<std::int64_t>(-2.0), 0, 4);
    emit(function, Opcode::arrget, 2, 1, 4294967295u);
    emit(function, Opcode::and_, 0, 0, 5);
    add_chunk(program, std::move(function));
    Chunk top;
    top.name = top_chunk_name;
    for (int i = 0; i < 12346; ++i)
        emit(top, Opcode::pop, 0, 0, 1);
    add_chunk(program, std::move(top));
    add_string(program, "say \"hi\"");
    add_string(program, "");
    add_string(program, std::string_view("a\0\n", 3));

    std::string text = listing_text(program);
    EXPECT_TRUE(
        text.starts_with("== add2 (chunk 0, arity 2, slots 3) ==\n"
                         "0000  push_int -5 0   ; line 4\n"
                         "0001  push_float -4611686018427387904 0   ; line 4\n"
                         "0002  arrget 2 1   ; line 4294967295\n"
                         "0003  and_ 0 0   ; line 5\n"
                         "== __top (chunk 1, arity 0, slots 0) ==\n"
                         "0000  pop 0 0   ; line 1\n"))
        << text.substr(0, 400);
    EXPECT_NE(text.find("\n0007  pop 0 0   ; line 1\n"), std::string::npos);
    EXPECT_NE(text.find("\n9999  pop 0 0   ; line 1\n10000  pop 0 0   ; line 1\n"), std::string::npos);
    EXPECT_TRUE(
        text.ends_with("\n12345  pop 0 0   ; line 1\n"
                       "-- consts (3) --\n"
                       "[0] \"say \"hi\"\"\n"
                       "[1] \"\"\n"
                       "[2] \"" +
                       std::string("a\0\n", 3) + "\"\n"));
}

TEST(Listing, EmptyProgramStillListsTheConstantsLine) {
    EXPECT_EQ(listing_text(Program{}), "-- consts (0) --\n");
}

}  // namespace
}  // namespace oxel
