// The machine's runnable code: which fused instruction each compiled shape
// becomes, and that every fused form behaves at the edge of a full stack
// exactly as the run it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "machine/internal_opcodes.h"
#include "in_memory_run.h"
#include "machine/machine.h"

namespace oxel {
namespace {

// The top-level chunk's runnable code walked run by run: the name of each
// instruction the loop would dispatch on the straight path.
std::string runnable_walk(const std::string& source) {
    const Program program = compile_program(source, "t.ox");
    Machine machine(program);
    const auto code = machine.runnable_code(*find_chunk(program, top_chunk_name));
    std::string walk;
    for (std::size_t at = 0; at < code.size();) {
        const auto op = static_cast<std::uint8_t>(code[at].op);
        walk += (walk.empty() ? "" : " ") + std::string(runnable_opcode_name(op));
        at += run_length_of(code[at]);
    }
    return walk;
}

TEST(RunnableCode, EachCompiledShapeBecomesItsFusedInstruction) {
    const std::pair<const char*, const char*> cases[] = {
        {"x5\n", "store_int halt fell_off"},
        {"x5\n(y. x)\n", "store_int copy_slot halt fell_off"},
        {"x5\n(r. x + x)\n(r. x - 2)\n(r. x * 1.5)\n",
         "store_int add_slots sub_slot_int mul_slot_float halt fell_off"},
        {"x5\n(r. x / x)\n(r. x % 7)\n(r. x / 0.5)\n(r. x % -7)\n(r. x / 1)\n(r. x / 8)\n",
         "store_int div_slots mod_slot_divisor div_slot_float mod_slot_int div_slot_int div_slot_divisor "
         "halt fell_off"},
        {"x5\nif x == x\n    echo 1\nif x < 3\n    echo 2\n",
         "store_int eq_slots_jump push_int echo lt_slot_int_jump push_int echo halt fell_off"},
        {"x5\nif x != x\n    echo 1\nif x >= 3\n    echo 2\n",
         "store_int ne_slots_jump push_int echo ge_slot_int_jump push_int echo halt fell_off"},
        {"lo3\n    echo 1\n", "store_int push_int echo loop_next halt fell_off"},
        {"a(3)\ni1\n(v. get a, i)\nset a, i, v\nset a, i, 4\n",
         "push_int newarr store_int get_at_slot set_slot_at_slot set_int_at_slot halt fell_off"},
        {"x2.0\n(r. sqrt. x)\n", "store_float sqrt_slot halt fell_off"},
        {"oxelfn f.n\n    rtn n\n(r. f 1)\n", "push_int call store halt fell_off"},
        {"oxelfn f.a, b, c\n    rtn a\nx1\n(r. f x, 2, \"s\")\n(r. f x, x, x)\n(r. f 1, x, x)\n",
         "store_int call_args store call_args store push_int call_slots store halt fell_off"},
        {"s\"a\"\n(s. cat s, \"b\")\n(s. cat \"c\", s)\n",
         "store_str cat_slot_str cat_str_slot halt fell_off"},
        {"s\"a\"\n(r. cmp s, s)\na(2)\nset a, 1, r\nif r\n    echo r\n",
         "store_str cmp_slots push_int newarr set_slot_at_int jump_unless_slot load echo halt fell_off"},
        {"x1\nif 2 < x\n    echo 1\nif x <= 2.5\n    echo 2\nif 2.5 > x\n    echo 3\n",
         "store_int lt_int_slot_jump push_int echo le_slot_float_jump push_int echo gt_float_slot_jump "
         "push_int "
         "echo halt fell_off"},
        {"s\"a\"\nif s == \"7\"\n    echo 1\nif \"\" != s\n    echo 2\nif s < \"b\"\n    echo 3\n",
         "store_str eq_slot_str_jump push_int echo ne_str_slot_jump push_int echo lt_slot_str_jump push_int "
         "echo "
         "halt fell_off"},
        {"s\"a\"\nh0\nlo5 w s != \"\"\n    (s. fread h, 1)\n    (t. fread h, s)\n",
         "store_str store_int store_int ne_slot_str_jump fread_int load fread loop_next halt fell_off"},
        {"x1\nlo5 w x < 3\n    echo x\nlo5 w x != x\n    echo x\n",
         "store_int store_int lt_slot_int_jump load echo lt_slot_int_while_next store_int ne_slots_jump load "
         "echo "
         "ne_slots_while_next halt fell_off"},
    };
    for (const auto& [source, walk] : cases)
        EXPECT_EQ(runnable_walk(source), walk) << source;
}

TEST(RunnableCode, ReturnOfASlotIsFused) {
    const Program program = compile_program("oxelfn f.n\n    rtn n\n(r. f 1)\n", "t.ox");
    Machine machine(program);
    EXPECT_EQ(runnable_opcode_name(static_cast<std::uint8_t>(machine.runnable_code(0)[0].op)), "ret_slot");
}

// Every fused form's run, put behind a stack filled to each height from
// full down to the run's own need: fused and plain code must print, fail
// (message and line) and leave the same; where the run overflows the chunk
// must stay unfused, and with room the fused form must take its fast path
// (fewer dispatches).
struct Counted {
    test::Outcome outcome;
    std::uint64_t dispatches = 0;
};

Counted run_counting(const Program& program, bool fuse) {
    Counted counted;
    test::Case files;
    files.files["hello"] = "bytes to read";
    counted.outcome = test::in_memory(files, [&] {
        Machine machine(program, fuse);
        counted.dispatches = machine.run_counting_dispatches();
    });
    return counted;
}

// The run a form stands for; for call_args, whose run has no fixed length,
// one with a load, a constant and a string as its arguments.
std::vector<Opcode> run_of(const FusedForm& form) {
    using enum Opcode;
    if (form.layout == Layout::arguments)
        return {load, push_int, push_str, call};
    return {form.run.begin(), form.run.end()};
}

// Slots: 0 the operand x (a float where the run takes a square root, a
// string where it takes a length, a byte, a concatenation or a comparison
// with a string constant, the file "hello" where it reads), 1 an index or
// second operand, 2 an array of 4, 3 a target.
Program stack_edge_program(const FusedForm& form, int filled) {
    using enum Opcode;
    const std::vector<Opcode> run = run_of(form);
    auto takes = [&](Opcode op) { return std::find(run.begin(), run.end(), op) != run.end(); };
    const bool takes_root = takes(sqrt);
    const bool takes_divide = takes(div) || takes(mod);
    const bool takes_text = takes(len) || takes(charat) || takes(cat) || takes(cmpstr) || takes(push_str);
    std::vector<Instruction> code = {
        {4, 0, 1, push_int},
        {2, 0, 1, newarr},
        takes_text   ? Instruction{0, 0, 1, push_str}
        : takes_root ? Instruction{std::bit_cast<std::int64_t>(2.25), 0, 1, push_float}
                     : Instruction{3, 0, 1, push_int},
        {0, 0, 1, store},
        takes(cmpstr) ? Instruction{0, 0, 1, push_str} : Instruction{1, 0, 1, push_int},
        {1, 0, 1, store},
    };
    if (takes(fread))
        code.insert(code.end(), {{0, 0, 1, push_str}, {1, 0, 1, push_str}, {0, 0, 1, fopen}});
    for (int i = 0; i < filled; ++i)
        code.push_back({i, 0, 2, push_int});
    const auto start = static_cast<std::int64_t>(code.size());
    const auto after = start + static_cast<std::int64_t>(run.size());
    int loads = 0, pushes = 0, stores = 0;
    const bool step = form.layout == Layout::step_loop;  // x in slot 0, the counter in slot 1
    for (std::size_t i = 0; i < run.size(); ++i) {
        Instruction in{0, 0, static_cast<std::uint32_t>(10 + i), run[i]};
        switch (run[i]) {
            case load:
                in.a = loads++ == 0 || form.layout == Layout::loop ? 0 : 1;
                break;
            case push_int:
                // 1 steps a loop; -3 is no divisor that a multiply replaces
                in.a = form.layout == Layout::loop || (step && pushes == 1) ? 1
                       : takes_divide && form.layout == Layout::xkz         ? -3
                                                                            : 3;
                ++pushes;
                break;
            case push_float:
                in.a = std::bit_cast<std::int64_t>(0.5);
                break;
            case store:
                in.a = form.layout == Layout::loop ? 0 : step && stores > 0 ? 1 : 3;
                ++stores;
                break;
            case jmp_false:
                in.a = after;
                break;
            case arrget:
                in.a = 3;
                in.b = 2;
                break;
            case call:
                in.a = 0;  // f, which takes as many arguments as the run loads
                break;
            case fread:
                in.a = 3;
                break;
            case arrset:
                in.a = 2;
                break;
            default:
                break;
        }
        code.push_back(in);
    }
    for (Instruction in :
         {Instruction{3, 0, 20, load}, Instruction{0, 0, 20, echo}, Instruction{0, 0, 21, halt}})
        code.push_back(in);
    Program program;
    program.strings = {"hello", "r"};
    Chunk top;
    top.name = top_chunk_name;
    top.slots = 4;
    top.code = std::move(code);
    Chunk f;
    f.name = "f";
    f.arity = static_cast<std::uint8_t>(takes(call) ? run.size() - 1 : 0);  // all the run pushes
    f.slots = f.arity;
    f.code = {{0, 0, 30, load}, {0, 0, 30, ret}};
    add_chunk(program, std::move(f));
    add_chunk(program, std::move(top));
    return program;
}

// The most values the run and the load after it hold at once above the
// filled stack, from the opcodes' stack effects.
int stack_need(const FusedForm& form) {
    int height = 0, peak = 0;
    for (Opcode op : run_of(form)) {
        const OpcodeFacts& facts = facts_of(op);
        height -= facts.pops == callee_arity ? height : facts.pops;  // a call takes all the run pushed
        height += facts.pushes;
        peak = std::max(peak, height);
    }
    return std::max(peak, height + 1);  // and the load after the run
}

TEST(RunnableCode, EveryFusedFormAtTheEdgeOfAFullStack) {
    for (const FusedForm& form : fused_forms) {
        if (form.layout == Layout::while_loop)
            continue;  // no run of its own; see the while loops of the walk above
        const int need = stack_need(form);
        for (int filled = static_cast<int>(max_stack); filled >= static_cast<int>(max_stack) - need;
             --filled) {
            SCOPED_TRACE(std::string(form.name) + " behind " + std::to_string(filled) + " values");
            const Program program = stack_edge_program(form, filled);
            // Fused only where the whole chunk's stack heights fit.
            const bool fits = filled + need <= static_cast<int>(max_stack);
            {
                Machine machine(program);
                const auto code = machine.runnable_code(1);
                const std::size_t start = program.chunks[1].code.size() - run_of(form).size() - 3;
                ASSERT_EQ(code[start].op == static_cast<Opcode>(form.op), fits);
            }
            const Counted plain = run_counting(program, false);
            const Counted fused = run_counting(program, true);
            EXPECT_EQ(fused.outcome.out, plain.outcome.out);
            EXPECT_EQ(fused.outcome.ending, plain.outcome.ending);
            if (filled == static_cast<int>(max_stack) - need) {
                EXPECT_LT(fused.dispatches, plain.dispatches) << "no fast path with room to spare";
            }
        }
    }
}

}  // namespace
}  // namespace oxel
