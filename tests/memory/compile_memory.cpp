// What compiling a large program allocates, against what the driver tells
// the allocator to expect (compile_bytes_per_source_byte): a compiler that
// came to allocate more would spill out of the room taken at once, and pay a
// page fault per page again. Bytes are counted by a replaced operator new, so
// these tests are an executable of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "compiler/program_structure.h"

namespace {

std::size_t bytes_allocated = 0;

}  // namespace

void* operator new(std::size_t size) {
    bytes_allocated += size;
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace oxel {
namespace {

// The programs of bench/gen_large_program.py's `compile` variant: `functions`
// functions of nine statement groups each (every `cat` constant padded by
// `padding` bytes), called by the top level only under a false condition.
std::string generated_program(int functions, std::size_t padding) {
    const std::string pad(padding, 'x');
    std::string text = "oxelfn leaf.x, y\n    (r. x + y)\n    rtn r\n";
    for (int f = 0; f < functions; ++f) {
        const std::string name = std::to_string(f);
        text += "oxelfn work" + name + ".a, b\n    (s. a + b)\n";
        for (int g = 0; g < 9; ++g) {
            const std::string group = std::to_string(g);
            text += "    (s. s + " + group + ")\n    if s > " + std::to_string(f % 50 + g) +
                    "\n        (s. s - 10)\n    els\n        (s. s * 2)\n    lo3 w s != 0\n"
                    "        (s. s / 2)\n    (t. cat \"value " + name + "." + group + ": " + pad +
                    "\", s)\n    (u. bit shl s, 2)\n    (u. u XOR b)\n    (v. leaf u, s)\n";
        }
        text += "    rtn u\n";
    }
    text += "go0\nif go > 0\n";
    for (int f = 0; f < functions; ++f)
        text += "    (r. work" + std::to_string(f) + " " + std::to_string(f) + ", 3)\n";
    return text;
}

// Bytes allocated by compiling the text, the text's own included.
std::size_t compile_bytes(std::string text) {
    const std::size_t text_bytes = text.size();
    const std::size_t start = bytes_allocated;
    Program program = compile_program(std::move(text), "large.ox");
    return bytes_allocated - start + text_bytes;
}

TEST(CompileMemory, StaysWithinWhatTheAllocatorExpects) {
    const struct {
        const char* name;
        int functions;
        std::size_t padding;
    } cases[] = {
        {"about 10k lines", 100, 0},
        {"about 41k lines", 400, 0},
        {"long constants", 100, 200},
    };
    for (const auto& c : cases) {
        const std::string text = generated_program(c.functions, c.padding);
        const std::size_t bytes = compile_bytes(text);
        EXPECT_LE(bytes, text.size() * compile_bytes_per_source_byte) << c.name;
    }
}

}  // namespace
}  // namespace oxel
