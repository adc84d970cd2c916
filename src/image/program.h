// The program image: the instruction set, one Chunk per compiled function plus
// the top-level chunk "__top", and the program-wide string constants.
// The compiler builds it by appending; the listing and the machine only read
// it afterwards. Strings (chunk names, files, constants) are views into the
// source buffers, which live until the process ends; nothing here is freed
// before exit.
#pragma once

#include <cstdint>
#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace oxel {

// One row per opcode, in numbering order: X(name, listing text).
// The listing text differs from the identifier only where the name is a
// C++ keyword (and, or, xor).
#define OXEL_OPCODES(X)                                                                    \
    X(push_int, "push_int")     /* -> int a */                                             \
    X(push_float, "push_float") /* -> float with bits a */                                 \
    X(push_str, "push_str")     /* -> string constant a */                                 \
    X(load, "load")             /* -> copy of slot a */                                    \
    X(store, "store")           /* value -> slot a */                                      \
    X(pop, "pop")               /* value -> */                                             \
    X(add, "add")               /* x y -> x+y */                                           \
    X(sub, "sub")               /* x y -> x-y */                                           \
    X(mul, "mul")               /* x y -> x*y */                                           \
    X(div, "div")               /* x y -> x/y */                                           \
    X(mod, "mod")               /* x y -> x mod y */                                       \
    X(eq, "eq")                 /* x y -> 0/1 */                                           \
    X(ne, "ne")                 /* x y -> 0/1 */                                           \
    X(lt, "lt")                 /* x y -> 0/1 */                                           \
    X(le, "le")                 /* x y -> 0/1 */                                           \
    X(gt, "gt")                 /* x y -> 0/1 */                                           \
    X(ge, "ge")                 /* x y -> 0/1 */                                           \
    X(and_, "and_")             /* x y -> x AND y */                                       \
    X(or_, "or_")               /* x y -> x OR y */                                        \
    X(xor_, "xor_")             /* x y -> x XOR y */                                       \
    X(shl, "shl")               /* x count -> x << count */                                \
    X(shr, "shr")               /* x count -> x >> count */                                \
    X(bitnot, "bitnot")         /* x -> ~x */                                              \
    X(sqrt, "sqrt")             /* x -> square root */                                     \
    X(len, "len")               /* string or array -> length */                            \
    X(charat, "charat")         /* string index -> byte */                                 \
    X(cmpstr, "cmpstr")         /* x y -> -1/0/1 */                                        \
    X(cat, "cat")               /* x y -> text of x then y */                              \
    X(newarr, "newarr")         /* size -> ; slot a = new array */                         \
    X(arrget, "arrget")         /* index -> ; slot a = slot b[index] */                    \
    X(arrset, "arrset")         /* value index -> ; slot a[index] = value */               \
    X(echo, "echo")             /* value -> ; print it */                                  \
    X(echow, "echow")           /* value wait -> ; print it */                             \
    X(input, "input")           /* -> ; slot a = one input line */                         \
    X(vga, "vga")               /* string -> ; display banner */                           \
    X(pout, "pout")             /* value port -> */                                        \
    X(jmp, "jmp")               /* continue at a */                                        \
    X(jmp_false, "jmp_false")   /* value -> ; continue at a if false */                    \
    X(fopen, "fopen")           /* path mode -> ; slot a = handle */                       \
    X(fread, "fread")           /* count -> ; slot a = bytes read from handle in slot b */ \
    X(fwrite, "fwrite")         /* value -> ; write to handle in slot a */                 \
    X(fclose, "fclose")         /* close handle in slot a */                               \
    X(call, "call")             /* arguments -> (in callee) chunk a */                     \
    X(ret, "ret")               /* value -> (pushed in the caller) */                      \
    X(halt, "halt")             /* end the run */

enum class Opcode : std::uint8_t {
#define OXEL_ROW(name, text) name,
    OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr std::string_view opcode_names[] = {
#define OXEL_ROW(name, text) text,
    OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr int opcode_count = static_cast<int>(std::size(opcode_names));
static_assert(opcode_count == 45);
static_assert(static_cast<int>(Opcode::push_int) == 0);
static_assert(static_cast<int>(Opcode::halt) == 44);

struct Instruction {
    std::int64_t a = 0;      // first operand; 0 when unused
    std::int64_t b = 0;      // second operand (arrget, fread); 0 when unused
    std::uint32_t line = 0;  // 1-based source line in its own file
    Opcode op = Opcode::halt;
};
static_assert(sizeof(Instruction) == 24);

struct Chunk {
    std::string_view name;  // function name, or "__top"
    std::vector<Instruction> code;
    std::string_view file;    // defining file as opened; empty for "__top"
    std::uint32_t slots = 0;  // local slots, parameters included
    std::uint8_t arity = 0;   // parameters, at most 255
};

struct Program {
    std::vector<Chunk> chunks;  // functions in definition order, "__top" last
    std::unordered_map<std::string_view, std::size_t> chunk_index;
    std::vector<std::string_view> strings;  // constants; push_str refers by index
    // Owns the bytes that every view above points into (source texts, paths).
    // A deque, so keeping one more never moves the others.
    std::deque<std::string> texts;
    // Each file read, by its path as opened, main file first; views into
    // texts. Read only to place a run-time failure on its statement.
    std::vector<std::pair<std::string_view, std::string_view>> sources;
};

// Moves the text into the program and returns a view that lives as long as it.
std::string_view keep_text(Program& program, std::string text);

inline constexpr std::string_view top_chunk_name = "__top";

// Appends one instruction and returns its index, for later patching.
std::size_t emit(Chunk& chunk, Opcode op, std::int64_t a, std::int64_t b, std::uint32_t line);
// Sets operand a of an already emitted jump.
void patch_target(Chunk& chunk, std::size_t index, std::size_t target);
std::size_t add_string(Program& program, std::string_view bytes);
// Appends the chunk; a later chunk of the same name takes over the name.
std::size_t add_chunk(Program& program, Chunk chunk);
std::optional<std::size_t> find_chunk(const Program& program, std::string_view name);

}  // namespace oxel
