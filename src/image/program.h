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

// What an operand of an instruction names. A slot operand says too whether
// the instruction reads or writes the slot; one that does both (arrget,
// fread) reads b first, and b may be its a.
enum class Operand : std::uint8_t {
    none,          // unused, 0
    integer,       // an Int
    float_bits,    // a float, its bits
    string,        // an index into Program::strings
    slot_read,     // a slot of the running frame, read
    slot_written,  // a slot of the running frame, written
    chunk,         // an index into Program::chunks
    target,        // an instruction index in the same chunk
};

// Where the run goes after an instruction.
enum class Flow : std::uint8_t {
    goes_on,           // to the next instruction
    jumps,             // to its target
    jumps_or_goes_on,  // either
    stops,             // nowhere in this chunk: the frame or the run ends
};

// What an instruction takes from the operand stack where that is not fixed:
// a call pops as many values as its callee has parameters.
inline constexpr int callee_arity = -1;

// One row per opcode, in numbering order; its name is also its text in the
// listing. X(name, operand a, operand b, values popped, values pushed, flow)
// A row without all its facts does not compile.
#define OXEL_OPCODES(X)                                                                                  \
    X(push_int, integer, none, 0, 1, goes_on)          /* -> int a */                                    \
    X(push_float, float_bits, none, 0, 1, goes_on)     /* -> float with bits a */                        \
    X(push_str, string, none, 0, 1, goes_on)           /* -> string constant a */                        \
    X(load, slot_read, none, 0, 1, goes_on)            /* -> copy of slot a */                           \
    X(store, slot_written, none, 1, 0, goes_on)        /* value -> slot a */                             \
    X(pop, none, none, 1, 0, goes_on)                  /* value -> */                                    \
    X(add, none, none, 2, 1, goes_on)                  /* x y -> x+y */                                  \
    X(sub, none, none, 2, 1, goes_on)                  /* x y -> x-y */                                  \
    X(mul, none, none, 2, 1, goes_on)                  /* x y -> x*y */                                  \
    X(div, none, none, 2, 1, goes_on)                  /* x y -> x/y */                                  \
    X(mod, none, none, 2, 1, goes_on)                  /* x y -> x mod y */                              \
    X(eq, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(ne, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(lt, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(le, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(gt, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(ge, none, none, 2, 1, goes_on)                   /* x y -> 0/1 */                                  \
    X(and_, none, none, 2, 1, goes_on)                 /* x y -> x AND y */                              \
    X(or_, none, none, 2, 1, goes_on)                  /* x y -> x OR y */                               \
    X(xor_, none, none, 2, 1, goes_on)                 /* x y -> x XOR y */                              \
    X(shl, none, none, 2, 1, goes_on)                  /* x count -> x << count */                       \
    X(shr, none, none, 2, 1, goes_on)                  /* x count -> x >> count */                       \
    X(bitnot, none, none, 1, 1, goes_on)               /* x -> ~x */                                     \
    X(sqrt, none, none, 1, 1, goes_on)                 /* x -> square root */                            \
    X(len, none, none, 1, 1, goes_on)                  /* string or array -> length */                   \
    X(charat, none, none, 2, 1, goes_on)               /* string index -> byte */                        \
    X(cmpstr, none, none, 2, 1, goes_on)               /* x y -> -1/0/1 */                               \
    X(cat, none, none, 2, 1, goes_on)                  /* x y -> text of x then y */                     \
    X(newarr, slot_written, none, 1, 0, goes_on)       /* size -> ; slot a = new array */                \
    X(arrget, slot_written, slot_read, 1, 0, goes_on)  /* index -> ; slot a = slot b[index] */           \
    X(arrset, slot_read, none, 2, 0, goes_on)          /* value index -> ; slot a[index] = value */      \
    X(echo, none, none, 1, 0, goes_on)                 /* value -> ; print it */                         \
    X(echow, none, none, 2, 0, goes_on)                /* value wait -> ; print it */                    \
    X(input, slot_written, none, 0, 0, goes_on)        /* -> ; slot a = one input line */                \
    X(vga, none, none, 1, 0, goes_on)                  /* string -> ; display banner */                  \
    X(pout, none, none, 2, 0, goes_on)                 /* value port -> */                               \
    X(jmp, target, none, 0, 0, jumps)                  /* continue at a */                               \
    X(jmp_false, target, none, 1, 0, jumps_or_goes_on) /* value -> ; continue at a if false */           \
    X(fopen, slot_written, none, 2, 0, goes_on)        /* path mode -> ; slot a = handle */              \
    X(fread, slot_written, slot_read, 1, 0, goes_on)   /* count -> ; slot a = read from handle slot b */ \
    X(fwrite, slot_read, none, 1, 0, goes_on)          /* value -> ; write to handle in slot a */        \
    X(fclose, slot_read, none, 0, 0, goes_on)          /* close handle in slot a */                      \
    X(call, chunk, none, callee_arity, 1, goes_on)     /* arguments -> (in callee) chunk a */            \
    X(ret, none, none, 1, 0, stops)                    /* value -> (pushed in the caller) */             \
    X(halt, none, none, 0, 0, stops)                   /* end the run */

enum class Opcode : std::uint8_t {
#define OXEL_ROW(name, a, b, pops, pushes, flow) name,
    OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
};

// The facts of one opcode, as data.
struct OpcodeFacts {
    std::string_view name;
    Operand a;
    Operand b;
    int pops;  // or callee_arity
    int pushes;
    Flow flow;
};
inline constexpr OpcodeFacts opcode_facts[] = {
#define OXEL_ROW(name, a_, b_, pops_, pushes_, flow_) \
    {#name, Operand::a_, Operand::b_, pops_, pushes_, Flow::flow_},
    OXEL_OPCODES(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr int opcode_count = static_cast<int>(std::size(opcode_facts));
static_assert(opcode_count == 45);
static_assert(static_cast<int>(Opcode::push_int) == 0);
static_assert(static_cast<int>(Opcode::halt) == 44);

constexpr const OpcodeFacts& facts_of(Opcode op) { return opcode_facts[static_cast<std::size_t>(op)]; }
constexpr std::string_view opcode_name(Opcode op) { return facts_of(op).name; }
constexpr bool names_slot(Operand operand) {
    return operand == Operand::slot_read || operand == Operand::slot_written;
}

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

// Appends one instruction and returns its index (tests build images with it).
std::size_t emit(Chunk& chunk, Opcode op, std::int64_t a, std::int64_t b, std::uint32_t line);
std::size_t add_string(Program& program, std::string_view bytes);
// Appends the chunk; a later chunk of the same name takes over the name.
std::size_t add_chunk(Program& program, Chunk chunk);
std::optional<std::size_t> find_chunk(const Program& program, std::string_view name);

}  // namespace oxel
