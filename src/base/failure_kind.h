// Every way a program can fail, compiling or running: one row per message,
// X(name, text). A failure's message is the row's fixed text, then a blank
// and the detail given where it is reported (a quoted name, a number), when
// there is one. Tools tell failures apart by kind, never by text, so a
// text may be reworded freely. This header includes nothing from the project.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

namespace oxel {

#define OXEL_FAILURE_KINDS(X)                                                          \
    /* the driver */                                                                   \
    X(cannot_open_main, "Cannot open") /* 'path' */                                    \
    /* program structure */                                                            \
    X(include_loop, "Include loop")                                                    \
    X(cannot_open_header, "Cannot open header")                           /* 'path' */ \
    X(header_not_definition, "Only oxelfn definitions allowed in header") /* 'path' */ \
    X(bad_function_name, "Bad function name")                             /* 'name' */ \
    X(bad_param_name, "Bad param name")                                   /* 'name' */ \
    X(too_many_params, "Too many params in")                              /* 'name' */ \
    /* blocks and statements */                                                        \
    X(bad_indentation, "Bad indentation")                                              \
    X(return_without_value, "rtn needs a value")                                       \
    X(else_without_if, "els without if")                                               \
    X(unexpected_block, "Unexpected indented block")                                   \
    X(bad_loop, "Bad loop")             /* 'line' */                                   \
    X(bad_loop_count, "Bad loop count") /* 'line' */                                   \
    X(echow_usage, "echow needs 'val, ms'")                                            \
    X(bad_input_target, "Bad input target") /* 'name' */                               \
    X(set_usage, "set needs 'arr, idx, val'")                                          \
    X(fopen_usage, "fopen needs 'fh, path, mode'")                                     \
    X(bad_handle_name, "Bad file handle") /* 'name' */                                 \
    X(fwrite_usage, "fwrite needs 'fh, val'")                                          \
    X(fclose_usage, "fclose needs a handle")                                           \
    X(bad_pout, "Bad pout") /* 'line' */                                               \
    X(pout_usage, "pout needs 'port, val'")                                            \
    X(bad_target, "Bad target")               /* 'name' */                             \
    X(bad_statement, "Bad statement")         /* 'line' */                             \
    X(unknown_call, "Unknown call")           /* 'name' */                             \
    X(unknown_statement, "Unknown statement") /* 'line' */                             \
    /* expressions */                                                                  \
    X(undefined_variable, "Undefined variable") /* 'name' */                           \
    X(bad_number, "Bad number")                 /* 'text' */                           \
    X(empty_expression, "Empty expression")                                            \
    X(wrong_argument_count, "Function") /* expects N args, got M */                    \
    X(shl_usage, "bit shl needs 'val, n'")                                             \
    X(shr_usage, "bit shr needs 'val, n'")                                             \
    X(fread_usage, "fread needs 'fh, n'")                                              \
    X(get_usage, "get needs 'arr, idx'")                                               \
    X(char_usage, "char needs 'str, idx'")                                             \
    X(cmp_usage, "cmp needs 'a, b'")                                                   \
    X(cat_usage, "cat needs 'a, b'")                                                   \
    /* values and arithmetic */                                                        \
    X(not_a_number, "Not a number")                                                    \
    X(array_not_a_number, "Array is not a number")                                     \
    X(number_too_large, "Number too large")                                            \
    X(division_by_zero, "Division by zero")                                            \
    X(modulo_by_zero, "Modulo by zero")                                                \
    X(cannot_compare, "Cannot compare these values")                                   \
    X(negative_square_root, "Square root of negative")                                 \
    /* strings and arrays */                                                           \
    X(index_out_of_bounds, "Index") /* N out of bounds (len M) */                      \
    X(not_an_array, "Not an array")                                                    \
    X(len_operand, "len needs a string or array")                                      \
    X(char_operand, "char needs a string")                                             \
    X(cmp_operands, "cmp needs two strings")                                           \
    X(cannot_stringify_array, "Cannot stringify array")                                \
    X(bad_array_size, "Bad array size") /* N */                                        \
    /* files */                                                                        \
    X(bad_handle, "Bad file handle")                                                   \
    X(fopen_path_type, "fopen path must be a string")                                  \
    X(fopen_mode, "fopen mode must be \"r\" or \"w\"")                                 \
    X(cannot_open_file, "Cannot open")     /* 'path' */                                \
    X(cannot_create_file, "Cannot create") /* 'path' */                                \
    X(bad_read_size, "Bad read size")      /* N */                                     \
    X(file_read_failed, "File read failed")                                            \
    X(cannot_write_array, "Cannot write array to file")                                \
    X(file_write_failed, "File write failed")                                          \
    X(file_not_open, "File not open")                                                  \
    /* the machine */                                                                  \
    X(call_stack_overflow, "Call stack overflow")                                      \
    X(no_code, "No code")                                                              \
    X(stack_underflow, "Stack underflow")                                              \
    X(stack_overflow, "Stack overflow")                                                \
    X(fell_off_chunk, "Fell off chunk") /* 'name' */                                   \
    X(bad_slot, "Bad slot")             /* N */                                        \
    X(bad_opcode, "Bad opcode")         /* N */

enum class FailureKind : unsigned char {
#define OXEL_ROW(name, text) name,
    OXEL_FAILURE_KINDS(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr std::string_view failure_kind_names[] = {
#define OXEL_ROW(name, text) #name,
    OXEL_FAILURE_KINDS(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr std::string_view failure_texts[] = {
#define OXEL_ROW(name, text) text,
    OXEL_FAILURE_KINDS(OXEL_ROW)
#undef OXEL_ROW
};

inline constexpr std::size_t failure_kind_count = std::size(failure_texts);

inline std::string_view failure_name(FailureKind kind) {
    return failure_kind_names[static_cast<std::size_t>(kind)];
}
inline std::string_view failure_text(FailureKind kind) {
    return failure_texts[static_cast<std::size_t>(kind)];
}

}  // namespace oxel
