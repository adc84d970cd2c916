// The opcode table's stack effects and flow, checked against what the
// interpreter does with each opcode (unfused), not against another table.
#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "image/program.h"
#include "machine/machine.h"

namespace oxel {
namespace {

// The values an opcode is tried on, as pushes: Ints 1, strings "s", or "s"
// and then Int 0 (its first byte).
enum class Values { ints, strings, string_then_int };

constexpr std::int64_t callee_parameters = 2;

// "__top": `values` pushes on line 1, the opcode on line 2, `pops` pops on
// line 3, one more pop on line 4, halt on line 5. A jump's target is the
// halt; a call calls f, which takes callee_parameters and returns 0.
Program probe(Opcode op, int values, Values kind, int pops) {
    Program program;
    program.strings = {"s"};
    Chunk f;
    f.name = "f";
    f.arity = static_cast<std::uint8_t>(callee_parameters);
    f.slots = f.arity;
    emit(f, Opcode::push_int, 0, 0, 9);
    emit(f, Opcode::ret, 0, 0, 9);
    add_chunk(program, std::move(f));
    Chunk top;
    top.name = top_chunk_name;
    top.slots = 2;
    for (int i = 0; i < values; ++i) {
        const bool string = kind == Values::strings || (kind == Values::string_then_int && i == 0);
        emit(top, string ? Opcode::push_str : Opcode::push_int, kind == Values::ints ? 1 : 0, 0, 1);
    }
    const auto halt_at = static_cast<std::int64_t>(values + 1 + pops + 1);
    auto operand = [&](Operand kind_of_operand) -> std::int64_t {
        switch (kind_of_operand) {
            case Operand::integer:
                return 1;
            case Operand::float_bits:
                return std::bit_cast<std::int64_t>(1.0);
            case Operand::target:
                return halt_at;
            case Operand::none:
            case Operand::string:
            case Operand::slot_read:
            case Operand::slot_written:
            case Operand::chunk:
                return 0;
        }
        return 0;
    };
    emit(top, op, operand(facts_of(op).a), operand(facts_of(op).b), 2);
    for (int i = 0; i < pops; ++i)
        emit(top, Opcode::pop, 0, 0, 3);
    emit(top, Opcode::pop, 0, 0, 4);
    emit(top, Opcode::halt, 0, 0, 5);
    add_chunk(program, std::move(top));
    return program;
}

// "message @ line", or "done" when the run ends without failing.
std::string outcome_of(const Program& program) {
    try {
        Machine machine(program, false);
        machine.run();
    } catch (const Failure& failure) {
        return failure.message + " @ " + std::to_string(failure.where.line);
    }
    return "done";
}

TEST(OpcodeFacts, StackEffectsAndFlowAsTheMachineRunsThem) {
    std::set<std::string> effects_unchecked;
    for (int k = 0; k < opcode_count; ++k) {
        const auto op = static_cast<Opcode>(k);
        const OpcodeFacts& facts = facts_of(op);
        SCOPED_TRACE(std::string(facts.name));
        if (op == Opcode::input)
            continue;  // reads standard input
        const int pops = facts.pops == callee_arity ? static_cast<int>(callee_parameters) : facts.pops;
        // One value fewer than it pops: the opcode itself underflows.
        if (pops > 0) {
            EXPECT_EQ(outcome_of(probe(op, pops - 1, Values::ints, 0)), "Stack underflow @ 2");
        }
        // Exactly as many: it leaves `pushes` values, which the pops on
        // line 3 take, and the pop on line 4 underflows; unless it stops
        // (or always jumps, here to the halt) and none of them runs.
        bool checked = false;
        for (Values kind : {Values::ints, Values::strings, Values::string_then_int}) {
            const std::string outcome = outcome_of(probe(op, pops, kind, facts.pushes));
            if (outcome.ends_with("@ 2") && outcome != "Stack underflow @ 2")
                continue;  // the opcode fails on these values: try others
            EXPECT_EQ(outcome, facts.flow == Flow::stops || facts.flow == Flow::jumps
                                   ? "done"
                                   : "Stack underflow @ 4");
            checked = true;
            break;
        }
        if (!checked)
            effects_unchecked.insert(std::string(facts.name));
    }
    // Those that fail on any values tried here: slots that hold no array or
    // file, a file that does not exist.
    EXPECT_EQ(effects_unchecked, (std::set<std::string>{"arrget", "arrset", "fopen", "fread", "fwrite"}));
}

}  // namespace
}  // namespace oxel
