// Every compile failure carries its kind and the columns of the offending
// text: a name, a number, a target, or the whole statement (comment and
// blanks excluded) when the statement as a whole is wrong.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "compiler/compile_context.h"
#include "compiler/compile_test_support.h"

namespace oxel {
namespace {

struct PlaceCase {
    std::string_view source;
    FailureKind kind;
    std::string_view message;
    std::uint32_t line;
    std::uint32_t first;  // columns, 1-based, last inclusive
    std::uint32_t last;
};

Failure failure_of(std::string_view source) {
    try {
        test::compile_text(std::string(source));
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "compiled: " << source;
    return {};
}

TEST(FailurePlace, CompileFailuresPointAtTheOffendingText) {
    using enum FailureKind;
    const PlaceCase cases[] = {
        // names inside expressions and statements
        {"echo y", undefined_variable, "Undefined variable 'y'", 1, 6, 6},
        {"x1\n(r. x + zz)", undefined_variable, "Undefined variable 'zz'", 2, 9, 10},
        {"x1\n(r. x + z z)", undefined_variable, "Undefined variable 'zz'", 2, 9, 11},  // read as "zz"
        {"oxelfn f\n    echo  q  cmt note", undefined_variable, "Undefined variable 'q'", 2, 11, 11},
        {"in 9", bad_input_target, "Bad input target '9'", 1, 4, 4},
        {"in (x y)", bad_input_target, "Bad input target 'x y'", 1, 5, 7},
        {"fopen 1, \"p\", \"r\"", bad_handle_name, "Bad file handle '1'", 1, 7, 7},
        {"(9. 1)", bad_target, "Bad target '9'", 1, 2, 2},
        {"g(1, 2)", unknown_call, "Unknown call 'g'", 1, 1, 1},
        // numbers
        {"x99999999999999999999", bad_number, "Bad number 'x99999999999999999999'", 1, 2, 21},
        {"(r. 99999999999999999999)", bad_number, "Bad number '99999999999999999999'", 1, 5, 24},
        {"lo99999999999999999999", bad_loop_count, "Bad loop count 'lo99999999999999999999'", 1, 3, 22},
        // a call's arguments
        {"oxelfn f.a\n    rtn a\nf(1, 2)", wrong_argument_count, "Function expects 1 args, got 2", 3, 3, 6},
        // definitions
        {"oxelfn 9f", bad_function_name, "Bad function name '9f'", 1, 8, 9},
        {"oxelfn f.a, 9b", bad_param_name, "Bad param name '9b'", 1, 13, 14},
        {"oxelfn f.a,,b", bad_param_name, "Bad param name ''", 1, 1, 13},
        // whole statements, without indentation or comment
        {"echow 1 cmt why", echow_usage, "echow needs 'val, ms'", 1, 1, 7},
        {"  set a", set_usage, "set needs 'arr, idx, val'", 1, 3, 7},
        {"(r. bit shl 1)", shl_usage, "bit shl needs 'val, n'", 1, 1, 14},
        {"(r. )", empty_expression, "Empty expression", 1, 1, 5},
        {"x y", unknown_statement, "Unknown statement 'x y'", 1, 1, 3},
        {"lox", bad_loop, "Bad loop 'lox'", 1, 1, 3},
        {"rtn", return_without_value, "rtn needs a value", 1, 1, 3},
        {"els", else_without_if, "els without if", 1, 1, 3},
        {"if 1\n        echo 2", bad_indentation, "Bad indentation", 2, 9, 14},
        {"echo 1\n    echo 2", unexpected_block, "Unexpected indented block", 1, 1, 6},
    };
    for (const PlaceCase& c : cases) {
        const Failure failure = failure_of(c.source);
        EXPECT_EQ(failure_name(failure.kind), failure_name(c.kind)) << c.source;
        EXPECT_EQ(failure.message, c.message) << c.source;
        EXPECT_EQ(failure.where.file, "main.ox") << c.source;
        EXPECT_EQ(failure.where.line, c.line) << c.source;
        EXPECT_EQ(failure.where.first_column, c.first) << c.source;
        EXPECT_EQ(failure.where.last_column, c.last) << c.source;
    }
}

// A part that is not a view into the line's code (a name rebuilt in a
// buffer), or an empty one, stands for the whole code.
TEST(FailurePlace, APartOutsideTheCodeIsTheWholeStatement) {
    const std::string_view file = "x1\n  echo y cmt why\n";
    const std::string_view code = file.substr(5, 6);  // "echo y"
    const std::string elsewhere = "y";
    auto columns = [&](std::string_view part) {
        SourceRange range = range_in_code("m.ox", file.data(), 2, code, part);
        return std::to_string(range.first_column) + "-" + std::to_string(range.last_column);
    };
    EXPECT_EQ(columns(code.substr(5)), "8-8");
    EXPECT_EQ(columns(elsewhere), "3-8");
    EXPECT_EQ(columns(file.substr(4, 3)), "3-8");   // begins before the code
    EXPECT_EQ(columns(file.substr(10, 3)), "3-8");  // runs past it
    EXPECT_EQ(columns({}), "3-8");
}

// The report names a file only for a failing function body; the place names
// its file always.
TEST(FailurePlace, OnlyBodiesNameTheirFileInTheReport) {
    Failure body = failure_of("oxelfn f\n    echo q");
    EXPECT_EQ(body.report_file, "main.ox");
    EXPECT_EQ(format_report(body),
              "[Oxel Runtime Error]: Undefined variable 'q' at line 2 (main.ox)\n"
              "[Oxel Execution Terminated]\n");
    Failure top = failure_of("echo q");
    EXPECT_EQ(top.report_file, "");
    EXPECT_EQ(top.where.file, "main.ox");
    EXPECT_EQ(format_report(top),
              "[Oxel Runtime Error]: Undefined variable 'q' at line 1\n"
              "[Oxel Execution Terminated]\n");
    // a definition's failure is not inside its body
    EXPECT_EQ(failure_of("oxelfn 9f\n    rtn 1").report_file, "");
}

}  // namespace
}  // namespace oxel
