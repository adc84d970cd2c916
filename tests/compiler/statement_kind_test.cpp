#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "compile_test_support.h"
#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"

namespace oxel {
namespace {

// What the compiler made of line 4 of a small program: the opcodes of that
// line, or the compile error's message.
struct Outcome {
    std::vector<Opcode> ops;
    std::string failure;
};

Outcome compile_line(const std::string& line) {
    std::string source = "x1\na(3)\nfopen fh, \"p\", \"r\"\n" + line + "\noxelfn g.p\n    rtn p\n";
    Outcome outcome;
    try {
        Program program = test::compile_text(source);
        for (const Instruction& in : program.chunks[*find_chunk(program, top_chunk_name)].code) {
            if (in.line == 4)
                outcome.ops.push_back(in.op);
        }
    } catch (const Failure& failure) {
        outcome.failure = failure.message;
    }
    return outcome;
}

bool ends_with_op(const std::vector<Opcode>& ops, Opcode op) { return !ops.empty() && ops.back() == op; }

// Whether the compiler's output could come from a statement of this kind.
bool agrees(StatementKind kind, const Outcome& outcome) {
    const std::vector<Opcode>& ops = outcome.ops;
    if (!outcome.failure.empty()) {
        const std::string& m = outcome.failure;
        auto says = [&](std::string_view start) { return m.starts_with(start); };
        // messages that only one kind of statement gives
        if (says("rtn needs"))
            return kind == StatementKind::bare_return;
        if (says("els without"))
            return kind == StatementKind::bare_else;
        if (says("fclose needs"))
            return kind == StatementKind::bare_close;
        if (says("Bad loop"))
            return kind == StatementKind::loop;
        if (says("echow needs"))
            return kind == StatementKind::print_with_wait;
        if (says("Bad input target"))
            return kind == StatementKind::input;
        if (says("set needs"))
            return kind == StatementKind::array_store;
        if (says("fopen needs") || says("Bad file handle"))
            return kind == StatementKind::open_file;
        if (says("fwrite needs"))
            return kind == StatementKind::write_file;
        if (says("Bad pout") || says("pout needs"))
            return kind == StatementKind::port_output;
        if (says("Bad target"))
            return kind == StatementKind::assignment;
        if (says("Bad statement") || says("Unknown call"))
            return kind == StatementKind::call_or_array;
        if (says("Unknown statement"))
            return kind == StatementKind::string_assignment || kind == StatementKind::number_assignment;
        return true;  // operand errors come from many statements
    }
    switch (kind) {
        case StatementKind::ignored:
        case StatementKind::definition:
        case StatementKind::bare_return:
        case StatementKind::bare_else:
        case StatementKind::bare_close:
            return false;
        case StatementKind::return_value:
            return ends_with_op(ops, Opcode::ret);
        case StatementKind::conditional:
            return ends_with_op(ops, Opcode::jmp_false) && ops.size() <= 4;
        case StatementKind::loop:
            return ops.size() >= 10 && ops[0] == Opcode::push_int && ops[1] == Opcode::store;
        case StatementKind::print_with_wait:
            return ends_with_op(ops, Opcode::echow);
        case StatementKind::print_empty:
        case StatementKind::print:
            return ends_with_op(ops, Opcode::echo);
        case StatementKind::input:
            return ops.size() == 1 && ops[0] == Opcode::input;
        case StatementKind::array_store:
            return ends_with_op(ops, Opcode::arrset);
        case StatementKind::open_file:
            return ends_with_op(ops, Opcode::fopen);
        case StatementKind::write_file:
            return ends_with_op(ops, Opcode::fwrite);
        case StatementKind::close_file:
            return ends_with_op(ops, Opcode::fclose);
        case StatementKind::display:
            return ends_with_op(ops, Opcode::vga);
        case StatementKind::port_output:
            return ends_with_op(ops, Opcode::pout);
        case StatementKind::assignment:
            return ends_with_op(ops, Opcode::store) || ends_with_op(ops, Opcode::arrget) ||
                   ends_with_op(ops, Opcode::fread);
        case StatementKind::call_or_array:
            return ends_with_op(ops, Opcode::pop) || ends_with_op(ops, Opcode::newarr);
        case StatementKind::string_assignment:
            return ops.size() == 2 && ops[0] == Opcode::push_str && ops[1] == Opcode::store;
        case StatementKind::number_assignment:
            return ops.size() == 2 && (ops[0] == Opcode::push_int || ops[0] == Opcode::push_float) &&
                   ops[1] == Opcode::store;
    }
    return false;
}

// Lines glued from statement words, names, separators and values: the
// classification handed to tools must agree with what the compiler does with
// every one.
TEST(StatementKinds, AgreeWithTheCompiler) {
    const std::string_view pieces[] = {"in",     "lo",     "echo", "echow", "vga", "pout", "set",  "fopen",
                                       "fwrite", "fclose", "rtn",  "els",   "if",  "x",    "a",    "fh",
                                       "g",      " ",      "\t",   "(",     ")",   "\"",   ",",    "5",
                                       "1.5",    ".",      "+",    "cat ",  "w",   "< 3",  "sqrt."};
    std::mt19937 random(2024);
    int compiled = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        std::size_t count = 1 + random() % 5;
        for (std::size_t i = 0; i < count; ++i)
            line += pieces[random() % std::size(pieces)];
        std::string_view text = trim(line);
        if (text.empty() || is_ignored_line(text) || text.starts_with("oxelfn") || text.starts_with("cmt"))
            continue;
        Outcome outcome = compile_line(std::string(text));
        compiled += outcome.failure.empty();
        EXPECT_TRUE(agrees(classify_statement(text), outcome))
            << "'" << text << "': " << (outcome.failure.empty() ? "compiled" : outcome.failure);
    }
    EXPECT_GT(compiled, 1000);  // the corpus reaches the statements, not only their errors
}

// Each row of the word table, as the classifier reads it: the word alone,
// followed by a blank and glued to a name. Only a prefix row takes the
// glued form; a word row needs its blank, an exact row the whole line.
TEST(StatementKinds, EachWordRowMakesItsKind) {
    for (const StatementWord& row : statement_words) {
        const std::string word(row.word);
        const std::string alone = word, spaced = word + " x", tabbed = word + "\tx", glued = word + "x";
        const std::string& line = row.match == WordMatch::exact  ? alone
                                  : row.match == WordMatch::word ? spaced
                                                                 : glued;
        EXPECT_EQ(classify_statement(line), row.kind) << line;
        EXPECT_EQ(is_ignored_line(line), row.kind == StatementKind::ignored) << line;
        EXPECT_EQ(classify_statement(glued) == row.kind, row.match == WordMatch::prefix) << glued;
        EXPECT_EQ(classify_statement(tabbed) == row.kind, row.match != WordMatch::exact) << tabbed;
        EXPECT_EQ(classify_statement(alone) == row.kind, row.match != WordMatch::word) << alone;
    }
}

TEST(StatementKinds, AssignmentForms) {
    Program program = test::compile_text("oxelfn add2.p, q\n    rtn p\n");
    struct Case {
        std::string_view expression;
        AssignmentForm form;
        std::string_view prefix;
    };
    const Case cases[] = {
        {"sqrt. x", AssignmentForm::square_root, "sqrt."},
        {"cat a, b", AssignmentForm::prefix, "cat"},
        {"len\tx", AssignmentForm::prefix, "len"},
        {"bit shlx, 1", AssignmentForm::prefix, "bit shl"},
        {"category + 1", AssignmentForm::arithmetic, ""},
        {"x AND add2 1, 2", AssignmentForm::logic, ""},
        {" add2 1, 2", AssignmentForm::call, ""},
        {"add3 1, 2", AssignmentForm::operand, ""},
        {"-5", AssignmentForm::operand, ""},
        {"get add2, 1", AssignmentForm::prefix, "get"},
    };
    for (const Case& c : cases) {
        AssignmentShape shape = classify_assignment(program, c.expression);
        EXPECT_EQ(shape.form, c.form) << c.expression;
        EXPECT_EQ(shape.prefix, c.prefix) << c.expression;
    }
}

}  // namespace
}  // namespace oxel
