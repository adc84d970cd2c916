// A run-time failure is placed on the statement of its line: first non-blank
// byte to the end of its code, in the running chunk's file.
#include <gtest/gtest.h>

#include <string>

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "machine/machine.h"

namespace oxel {
namespace {

Failure run_failure(Program program) {
    try {
        run(std::move(program));
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "ran to its end";
    return {};
}

Failure run_failure(std::string source) { return run_failure(compile_program(std::move(source), "main.ox")); }

TEST(RunTimePlace, TheFailingStatementWithoutItsComment) {
    Failure size = run_failure("b(-3) cmt the run fails here");
    EXPECT_EQ(size.kind, FailureKind::bad_array_size);
    EXPECT_EQ(size.message, "Bad array size -3");
    EXPECT_EQ(size.where.file, "main.ox");
    EXPECT_EQ(size.where.line, 1u);
    EXPECT_EQ(size.where.first_column, 1u);
    EXPECT_EQ(size.where.last_column, 5u);
    EXPECT_EQ(size.report_file, "");

    Failure body = run_failure("oxelfn f.a\n    (r. 1 / a)  cmt here\n    rtn r\n(y. f 0)\necho y");
    EXPECT_EQ(body.kind, FailureKind::division_by_zero);
    EXPECT_EQ(body.where.file, "main.ox");
    EXPECT_EQ(body.where.line, 2u);
    EXPECT_EQ(body.where.first_column, 5u);
    EXPECT_EQ(body.where.last_column, 14u);
    EXPECT_EQ(body.report_file, "main.ox");
    EXPECT_EQ(format_report(body),
              "[Oxel Runtime Error]: Division by zero at line 2 (main.ox)\n"
              "[Oxel Execution Terminated]\n");
}

TEST(RunTimePlace, NoColumnsWithoutTheSource) {
    Program program = compile_program("x0\n(r. 1 / x)\necho r", "main.ox");
    program.sources.clear();
    Failure failure = run_failure(std::move(program));
    EXPECT_EQ(failure.kind, FailureKind::division_by_zero);
    EXPECT_EQ(failure.where.line, 2u);
    EXPECT_EQ(failure.where.first_column, 0u);
    EXPECT_EQ(failure.where.last_column, 0u);
}

// A fault of the image is no statement's doing: it keeps its line, without columns.
TEST(RunTimePlace, ImageFaultsHaveNoColumns) {
    Program program = compile_program("x1\necho x", "main.ox");
    Chunk& top = program.chunks.back();
    ASSERT_EQ(top.code[2].op, Opcode::load);
    top.code[2].a = 99;
    Failure failure = run_failure(std::move(program));
    EXPECT_EQ(failure.kind, FailureKind::bad_slot);
    EXPECT_EQ(failure.where.line, 2u);
    EXPECT_EQ(failure.where.first_column, 0u);
    EXPECT_EQ(failure.where.last_column, 0u);
}

}  // namespace
}  // namespace oxel
