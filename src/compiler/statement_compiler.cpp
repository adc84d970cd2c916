// The block walk and every statement form. Each line is classified once
// (classify_statement, statement_kind.cpp). Nested blocks (under `if`, `els`
// and `lo`) are walked with an explicit stack rather than by recursion: a
// file can nest thousands of levels deep.
#include <bit>

#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "runtime/number_text.h"

namespace oxel {

namespace {

// `echow value, ms`: cut at the first comma, even inside quotes.
void compile_print_with_wait(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view rest = trim(text.substr(5));
    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos)
        report_error(FailureKind::echow_usage, context.where());
    compile_operand(context, rest.substr(0, comma), line);
    compile_operand(context, rest.substr(comma + 1), line);
    context.emit(Opcode::echow, 0, line);
}

// `in name` or `in (name)`; the name need not exist yet.
void compile_input(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view target = trim(text.substr(2));
    if (target.size() >= 2 && target.front() == '(' && target.back() == ')') {
        target = trim(target.substr(1, target.size() - 2));
    }
    if (!is_identifier(target))
        report_error(FailureKind::bad_input_target, quoted(target), context.where(target));
    context.emit(Opcode::input, find_or_declare(context, target), line);
}

// `set arr, idx, val`: value below index on the stack.
void compile_array_store(CompileContext& context, std::string_view text, std::uint32_t line) {
    Pieces<3> pieces(trim(text.substr(3)));
    if (pieces.size() != 3)
        report_error(FailureKind::set_usage, context.where());
    std::uint32_t array = resolve(context, pieces[0], line);
    compile_operand(context, pieces[2], line);
    compile_operand(context, pieces[1], line);
    context.emit(Opcode::arrset, array, line);
}

// `fopen fh, path, mode`: the one file statement that declares its handle.
void compile_open_file(CompileContext& context, std::string_view text, std::uint32_t line) {
    Pieces<3> pieces(trim(text.substr(5)));
    if (pieces.size() != 3)
        report_error(FailureKind::fopen_usage, context.where());
    if (!is_identifier(pieces[0]))
        report_error(FailureKind::bad_handle_name, quoted(pieces[0]), context.where(pieces[0]));
    std::uint32_t handle = find_or_declare(context, pieces[0]);
    compile_operand(context, pieces[1], line);
    compile_operand(context, pieces[2], line);
    context.emit(Opcode::fopen, handle, line);
}

void compile_write_file(CompileContext& context, std::string_view text, std::uint32_t line) {
    Pieces<2> pieces(trim(text.substr(6)));
    if (pieces.size() != 2)
        report_error(FailureKind::fwrite_usage, context.where());
    std::uint32_t handle = resolve(context, pieces[0], line);
    compile_operand(context, pieces[1], line);
    context.emit(Opcode::fwrite, handle, line);
}

// `fclose fh`: the argument text is split like those of the other file
// statements and its first piece names the handle; there is no piece count,
// so anything after a comma is never looked at.
void compile_close_file(CompileContext& context, std::string_view text, std::uint32_t line) {
    Pieces<1> pieces(trim(text.substr(6)));
    context.emit(Opcode::fclose, resolve(context, pieces[0], line), line);
}

// `pout(port, val)`: the port ends on top, so the value is pushed first.
void compile_port_output(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')')
        report_error(FailureKind::bad_pout, quoted(text), context.where());
    Pieces<2> pieces(text.substr(open + 1, text.size() - open - 2));
    if (pieces.size() != 2)
        report_error(FailureKind::pout_usage, context.where());
    compile_operand(context, pieces[1], line);
    compile_operand(context, pieces[0], line);
    context.emit(Opcode::pout, 0, line);
}

// `(target. expression)`: the target runs to the first dot.
void compile_assignment_statement(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view inside = text.substr(1, text.size() - 2);
    std::size_t dot = inside.find('.');
    std::string_view target = trim(inside.substr(0, dot));
    if (!is_identifier(target))
        report_error(FailureKind::bad_target, quoted(target), context.where(target));
    compile_assignment(context, target, inside.substr(dot + 1), line);
}

// `name(arguments)` calls a function, discarding its result; for any other
// name, `name(size)` creates an array.
void compile_call_or_array(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::size_t open = text.find('(');
    std::string_view name = trim(text.substr(0, open));
    if (!is_identifier(name))
        report_error(FailureKind::bad_statement, quoted(text), context.where());
    std::string_view arguments = trim(text.substr(open + 1, text.size() - open - 2));
    if (auto function = find_chunk(context.program, name)) {
        compile_call(context, *function, arguments, line);
        context.emit(Opcode::pop, 0, line);
        return;
    }
    Pieces<1> pieces(arguments);
    if (pieces.size() != 1)
        report_error(FailureKind::unknown_call, quoted(name), context.where(name));
    std::uint32_t array = find_or_declare(context, name);
    compile_operand(context, pieces[0], line);
    context.emit(Opcode::newarr, array, line);
}

// `name"text"` or `name "text"`: everything from the first quote to the last
// byte. A lone closing quote holds no text and is refused.
void compile_string_assignment(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::size_t quote = text.find('"');
    std::string_view name = trim(text.substr(0, quote));
    if (!is_identifier(name) || text.back() != '"' || quote == text.size() - 1) {
        report_error(FailureKind::unknown_statement, quoted(text), context.where());
    }
    std::size_t constant = add_string(context.program, text.substr(quote + 1, text.size() - quote - 2));
    context.emit(Opcode::push_str, static_cast<std::int64_t>(constant), line);
    context.emit(Opcode::store, find_or_declare(context, name), line);
}

// The k (1 <= k < n) where text[0, k) is an identifier and text[k, n) a float
// literal, the smallest such; npos when there is none.
//
// Trying every k would parse quadratically many bytes on a long line, so only
// the k that can work are tried. With L the length of the identifier run at
// the start, a float starting at k < L begins with a digit and holds its
// point at L (no identifier byte is a point): the whole of text[k, L) is
// mantissa digits, or "0x" and hexadecimal digits. Only the first such k can
// win: later ones share the bytes from L on, and their shorter mantissa is
// valid whenever the longer one is, apart from "__" (never valid), which
// moves the first candidate past it. A float starting at L must begin with
// its minus sign.
std::size_t float_name_length(std::string_view text) {
    std::size_t n = text.size();
    if (n < 2 || !is_identifier_start(text[0]))
        return std::string_view::npos;
    std::size_t run = 1;
    while (run < n && is_identifier_byte(text[run]))
        ++run;

    auto works = [&](std::size_t k) { return k >= 1 && k < n && is_float_literal(text.substr(k)); };
    auto is_hex = [](char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };

    // hexadecimal mantissa: "0x" right before the run of hexadecimal digits
    std::size_t hex = run;
    while (hex > 1 && (is_hex(text[hex - 1]) || text[hex - 1] == '_'))
        --hex;
    if (hex >= 3 && (text[hex - 1] == 'x' || text[hex - 1] == 'X') && text[hex - 2] == '0' &&
        works(hex - 2)) {
        return hex - 2;
    }
    // decimal mantissa: the first digit of the trailing digit run after its last "__"
    std::size_t decimal = run;
    while (decimal > 1 && (is_digit(text[decimal - 1]) || text[decimal - 1] == '_') &&
           !(text[decimal - 1] == '_' && decimal < n && text[decimal] == '_')) {
        --decimal;
    }
    while (decimal < run && !is_digit(text[decimal]))
        ++decimal;
    if (decimal < run && works(decimal))
        return decimal;
    if (run < n && text[run] == '-' && works(run))
        return run;
    return std::string_view::npos;
}

// `x1.5`, `count10`: a name glued to a number.
void compile_number_assignment(CompileContext& context, std::string_view text, std::uint32_t line) {
    if (text.find_first_of(" \t\"'(),") != std::string_view::npos) {
        report_error(FailureKind::unknown_statement, quoted(text), context.where());
    }
    if (text.find('.') != std::string_view::npos) {
        std::size_t k = float_name_length(text);
        if (k != std::string_view::npos) {
            double value = *parse_float(text.substr(k));
            context.emit(Opcode::push_float, std::bit_cast<std::int64_t>(value), line);
            context.emit(Opcode::store, find_or_declare(context, text.substr(0, k)), line);
            return;
        }
    }
    std::size_t digits = text.size();
    while (digits > 0 && is_digit(text[digits - 1]))
        --digits;
    std::string_view name = text.substr(0, digits);
    if (digits == text.size() || !is_identifier(name))
        report_error(FailureKind::unknown_statement, quoted(text), context.where());
    IntegerParse value = parse_integer(text.substr(digits));
    if (!value.ok)
        report_error(FailureKind::bad_number, quoted(text), context.where(text.substr(digits)));
    context.emit(Opcode::push_int, value.value, line);
    context.emit(Opcode::store, find_or_declare(context, name), line);
}

// Every statement that opens no block.
void compile_simple_statement(CompileContext& context, StatementKind kind, std::string_view text,
                              std::uint32_t line) {
    switch (kind) {
        case StatementKind::print_with_wait:
            return compile_print_with_wait(context, text, line);
        case StatementKind::print_empty: {
            // each bare echo gets a constant of its own
            std::size_t empty = add_string(context.program, text.substr(0, 0));
            context.emit(Opcode::push_str, static_cast<std::int64_t>(empty), line);
            context.emit(Opcode::echo, 0, line);
            return;
        }
        case StatementKind::print:
            compile_operand(context, text.substr(4), line);
            context.emit(Opcode::echo, 0, line);
            return;
        case StatementKind::input:
            return compile_input(context, text, line);
        case StatementKind::array_store:
            return compile_array_store(context, text, line);
        case StatementKind::open_file:
            return compile_open_file(context, text, line);
        case StatementKind::bare_close:
            report_error(FailureKind::fclose_usage, context.where());
        case StatementKind::write_file:
            return compile_write_file(context, text, line);
        case StatementKind::close_file:
            return compile_close_file(context, text, line);
        case StatementKind::display:
            // the whole line, keyword included, is the display command
            context.emit(Opcode::push_str, static_cast<std::int64_t>(add_string(context.program, text)),
                         line);
            context.emit(Opcode::vga, 0, line);
            return;
        case StatementKind::port_output:
            return compile_port_output(context, text, line);
        case StatementKind::assignment:
            return compile_assignment_statement(context, text, line);
        case StatementKind::call_or_array:
            return compile_call_or_array(context, text, line);
        case StatementKind::string_assignment:
            return compile_string_assignment(context, text, line);
        default:
            return compile_number_assignment(context, text, line);
    }
}

// What closes when a block has been walked to its end.
enum class Closing : std::uint8_t { block, then_block, else_block, loop_body };

struct OpenBlock {
    std::size_t next;     // next line to look at
    std::size_t last;     // last line of the range
    std::int32_t parent;  // level of the line that opened the block
    Closing closing = Closing::block;
    std::size_t opener = 0;        // line index of the `if`, `els` or `lo`
    std::size_t pending_jump = 0;  // jump to patch at the close: F of `if`, J of `els`, X of `lo`
    bool has_pending_jump = false;
    std::uint32_t counter = 0;  // loop counter slot
    std::size_t loop_start = 0;
    std::int64_t count = 0;
};

class BlockWalker {
public:
    explicit BlockWalker(CompileContext& context) : context_(context), lines_(context.lines) {}

    void walk(std::size_t first, std::size_t last, std::int32_t parent) {
        open_.push_back(OpenBlock{first, last, parent});
        while (!open_.empty()) {
            OpenBlock& block = open_.back();
            std::size_t i = block.next;
            if (i > block.last || i >= lines_.size() || lines_[i].level <= block.parent) {
                OpenBlock done = block;
                open_.pop_back();
                close(done);
                continue;
            }
            const SourceLine& line = lines_[i];
            context_.current_line = i;
            if (line.level > block.parent + 1)
                report_error(FailureKind::bad_indentation, context_.where());
            std::size_t end = context_.block_ends[i];
            block.next = i + 1;
            StatementKind kind = classify_statement(lines_.text(i));
            if (kind == StatementKind::ignored)
                continue;
            if (kind == StatementKind::definition) {
                block.next = end + 1;  // nested definitions are skipped whole
                continue;
            }
            compile_statement(kind, i, end);
        }
    }

private:
    void compile_statement(StatementKind kind, std::size_t i, std::size_t end) {
        if (context_.observer)
            context_.observer->statement_started(context_, i);
        const SourceLine& line = lines_[i];
        std::string_view text = lines_.text(i);
        switch (kind) {
            case StatementKind::bare_return:
                report_error(FailureKind::return_without_value, context_.where());
            case StatementKind::return_value:
                // no nested-block test: lines under it fail as "Bad indentation"
                compile_operand(context_, text.substr(3), line.number);
                context_.emit(Opcode::ret, 0, line.number);
                return;
            case StatementKind::bare_else:
                report_error(FailureKind::else_without_if, context_.where());
            case StatementKind::conditional:
                return open_then_block(i, end);
            case StatementKind::loop:
                return open_loop(i, end);
            default:
                compile_simple_statement(context_, kind, text, line.number);
                if (end > i)
                    report_error(FailureKind::unexpected_block, context_.where());
        }
    }

    // cond, jmp_false F, then-block [jmp J, F: else-block] J:
    void open_then_block(std::size_t i, std::size_t end) {
        const SourceLine& line = lines_[i];
        std::string_view condition = trim(lines_.text(i).substr(2));
        if (starts_with_word(condition, "els"))
            condition = trim(condition.substr(3));  // `if els x` is `if x`
        compile_condition(context_, condition, line.number);
        std::size_t skip = context_.emit(Opcode::jmp_false, -1, line.number);
        open_.back().next = end + 1;
        OpenBlock then{i + 1, end, line.level, Closing::then_block, i, skip, true};
        open_.push_back(then);
    }

    void close_then_block(const OpenBlock& then) {
        const SourceLine& opener = lines_[then.opener];
        std::size_t els = then.last + 1;
        if (els < lines_.size() && lines_[els].level == opener.level && lines_.text(els) == "els") {
            std::size_t over = context_.emit(Opcode::jmp, -1, opener.number);
            context_.patch_target(then.pending_jump, context_.code_length());
            std::size_t else_end = context_.block_ends[els];
            open_.back().next = else_end + 1;
            open_.push_back(OpenBlock{els + 1, else_end, opener.level, Closing::else_block, els, over, true});
            return;
        }
        context_.patch_target(then.pending_jump, context_.code_length());
    }

    // `lo<count>[ w <condition>]`: the counter is tested after the body, the
    // condition before it.
    void open_loop(std::size_t i, std::size_t end) {
        const SourceLine& line = lines_[i];
        std::string_view text = lines_.text(i);
        if (text.size() < 3 || !is_digit(text[2]))
            report_error(FailureKind::bad_loop, quoted(text), context_.where());
        std::size_t digits_end = 2;
        while (digits_end < text.size() && is_digit(text[digits_end]))
            ++digits_end;
        IntegerParse count = parse_integer(text.substr(2, digits_end - 2));
        if (!count.ok)
            report_error(FailureKind::bad_loop_count, quoted(text),
                         context_.where(text.substr(2, digits_end - 2)));
        std::string_view rest = trim(text.substr(digits_end));

        std::uint32_t counter = context_.next_slot++;  // a slot with no name
        context_.emit(Opcode::push_int, 0, line.number);
        context_.emit(Opcode::store, counter, line.number);
        OpenBlock body{i + 1, end, line.level, Closing::loop_body, i};
        body.counter = counter;
        body.loop_start = context_.code_length();
        body.count = count.value;
        if (!rest.empty()) {
            if (rest[0] != 'w')
                report_error(FailureKind::bad_loop, quoted(text), context_.where());
            if (rest.size() > 1) {
                if (!is_blank(rest[1]))
                    report_error(FailureKind::bad_loop, quoted(text), context_.where());
                compile_condition(context_, rest.substr(2), line.number);
                body.pending_jump = context_.emit(Opcode::jmp_false, -1, line.number);
                body.has_pending_jump = true;
            }
        }
        open_.back().next = end + 1;
        open_.push_back(body);
    }

    void close_loop(const OpenBlock& body) {
        if (context_.observer)
            context_.observer->statement_started(context_, body.opener);
        std::uint32_t line = lines_[body.opener].number;
        context_.emit(Opcode::load, body.counter, line);
        context_.emit(Opcode::push_int, 1, line);
        context_.emit(Opcode::add, 0, line);
        context_.emit(Opcode::store, body.counter, line);
        context_.emit(Opcode::load, body.counter, line);
        context_.emit(Opcode::push_int, body.count, line);
        context_.emit(Opcode::ge, 0, line);
        context_.emit(Opcode::jmp_false, static_cast<std::int64_t>(body.loop_start), line);
        if (body.has_pending_jump)
            context_.patch_target(body.pending_jump, context_.code_length());
    }

    void close(const OpenBlock& done) {
        switch (done.closing) {
            case Closing::block:
                return;
            case Closing::then_block:
                return close_then_block(done);
            case Closing::else_block:
                return context_.patch_target(done.pending_jump, context_.code_length());
            case Closing::loop_body:
                return close_loop(done);
        }
    }

    CompileContext& context_;
    const LineList& lines_;
    std::vector<OpenBlock> open_;
};

}  // namespace

void compile_block(CompileContext& context, std::size_t first, std::size_t last, std::int32_t parent) {
    BlockWalker(context).walk(first, last, parent);
}

}  // namespace oxel
