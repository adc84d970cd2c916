// Operands, conditions and the right-hand side of assignments. There is no
// expression grammar: each form is a fixed byte test on the text (a prefix,
// an operator found anywhere), and every operator takes single operands.
#include <algorithm>
#include <bit>
#include <iterator>
#include <optional>

#include "compiler/compile_context.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "runtime/number_text.h"

namespace oxel {

namespace {

// An optional '-' and decimal digits only; parse_integer accepts more.
bool is_integer_literal(std::string_view text) {
    std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    if (start == text.size())
        return false;
    for (char c : text.substr(start)) {
        if (!is_digit(c))
            return false;
    }
    return true;
}

// An operand of the arithmetic form, read with every blank removed. Only an
// operand that holds blanks is copied; a string constant made from such a
// copy is kept with the program, since constants outlive the compiler.
void compile_blank_free_operand(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view trimmed = trim(text);
    if (trimmed.find_first_of(" \t") == std::string_view::npos)
        return compile_operand(context, trimmed, line);
    std::string copy;
    copy.reserve(trimmed.size());
    for (char c : trimmed) {
        if (!is_blank(c))
            copy += c;
    }
    if (copy.size() >= 2 && copy.front() == '"' && copy.back() == '"') {
        return compile_operand(context, keep_text(context.program, std::move(copy)), line);
    }
    try {
        compile_operand(context, copy, line);
    } catch (Failure& failure) {
        // the copy is not in the source: place the operand as written
        failure.where = context.where(trimmed);
        throw;
    }
}

struct OperatorText {
    std::string_view text;
    Opcode op;
};

// Searched in this order; the first that occurs anywhere decides.
constexpr OperatorText comparisons[] = {
    {"==", Opcode::eq}, {"!=", Opcode::ne}, {"<=", Opcode::le},
    {">=", Opcode::ge}, {"<", Opcode::lt},  {">", Opcode::gt},
};
// compile_condition's scan numbers them in this order.
static_assert(comparisons[0].text == "==" && comparisons[1].text == "!=" && comparisons[2].text == "<=" &&
              comparisons[3].text == ">=" && comparisons[4].text == "<" && comparisons[5].text == ">");
constexpr OperatorText logic_operators[] = {
    {" AND ", Opcode::and_},
    {" OR ", Opcode::or_},
    {" XOR ", Opcode::xor_},
};

struct PrefixForm {
    std::string_view prefix;  // a trailing blank stands for a space or a tab
    Opcode op;
    std::optional<FailureKind>
        usage;  // failure when two comma pieces are needed and absent; none: one operand
};

// The prefix forms after `sqrt.`, in the order they are tried.
constexpr PrefixForm prefix_forms[] = {
    {"bit shl", Opcode::shl, FailureKind::shl_usage},   {"bit shr", Opcode::shr, FailureKind::shr_usage},
    {"bit not", Opcode::bitnot, std::nullopt},          {"fread ", Opcode::fread, FailureKind::fread_usage},
    {"get ", Opcode::arrget, FailureKind::get_usage},   {"len ", Opcode::len, std::nullopt},
    {"char ", Opcode::charat, FailureKind::char_usage}, {"cmp ", Opcode::cmpstr, FailureKind::cmp_usage},
    {"cat ", Opcode::cat, FailureKind::cat_usage},
};

bool has_prefix(std::string_view text, std::string_view prefix) {
    if (!prefix.ends_with(' '))
        return text.starts_with(prefix);
    return starts_with_word(text, prefix.substr(0, prefix.size() - 1));
}

// The prefix forms: true when one matched and was compiled. The text is not
// empty; only the forms that begin with its first byte are compared.
bool compile_prefix_form(CompileContext& context, std::uint32_t target, std::string_view text,
                         std::uint32_t line) {
    for (const PrefixForm& form : prefix_forms) {
        if (form.prefix.front() != text.front() || !has_prefix(text, form.prefix))
            continue;
        std::string_view rest = trim(text.substr(form.prefix.size()));
        if (!form.usage) {
            compile_operand(context, rest, line);
            context.emit(form.op, 0, line);
            context.emit(Opcode::store, target, line);
            return true;
        }
        Pieces<2> pieces(rest);
        if (pieces.size() != 2)
            report_error(*form.usage, context.where());
        if (form.op == Opcode::fread || form.op == Opcode::arrget) {
            // these store by themselves; the first piece names a slot to read
            std::uint32_t source = resolve(context, pieces[0], line);
            compile_operand(context, pieces[1], line);
            context.emit(form.op, target, source, line);
            return true;
        }
        compile_operand(context, pieces[0], line);
        compile_operand(context, pieces[1], line);
        context.emit(form.op, 0, line);
        context.emit(Opcode::store, target, line);
        return true;
    }
    return false;
}

// Where the forms after the prefix forms are decided, found in one pass over
// the text: the first occurrence of each logic operator, the first blank
// (which ends a call's name) and the first arithmetic operator after the
// first byte (position 0 is a sign).
struct ExpressionShape {
    std::size_t logic[std::size(logic_operators)];
    std::size_t blank = std::string_view::npos;
    std::size_t arithmetic = std::string_view::npos;
};

ExpressionShape shape_of(std::string_view text) {
    ExpressionShape shape;
    std::fill(std::begin(shape.logic), std::end(shape.logic), std::string_view::npos);
    for (std::size_t p = 0; p < text.size(); ++p) {
        switch (text[p]) {
            case ' ':
                // every logic operator begins with a space
                for (std::size_t k = 0; k < std::size(logic_operators); ++k) {
                    if (shape.logic[k] == std::string_view::npos &&
                        text.substr(p).starts_with(logic_operators[k].text))
                        shape.logic[k] = p;
                }
                [[fallthrough]];
            case '\t':
                if (shape.blank == std::string_view::npos)
                    shape.blank = p;
                break;
            case '+':
            case '-':
            case '*':
            case '/':
            case '%':
                if (p > 0 && shape.arithmetic == std::string_view::npos)
                    shape.arithmetic = p;
                break;
            default:
                break;
        }
    }
    return shape;
}

// `name args`: only the word before the first blank is looked up.
bool compile_call_form(CompileContext& context, std::uint32_t target, std::string_view text,
                       std::size_t blank, std::uint32_t line) {
    if (blank == std::string_view::npos)
        return false;
    auto function = find_chunk(context.program, text.substr(0, blank));
    if (!function)
        return false;
    compile_call(context, *function, trim(text.substr(blank + 1)), line);
    context.emit(Opcode::store, target, line);
    return true;
}

// One level, split at the first operator byte after the first.
bool compile_arithmetic_form(CompileContext& context, std::uint32_t target, std::string_view text,
                             std::size_t at, std::uint32_t line) {
    // Blanks never hold an operator, so the first operator of the blank-free
    // copy is the first one after the text's first byte.
    if (at == std::string_view::npos)
        return false;
    compile_blank_free_operand(context, text.substr(0, at), line);
    compile_blank_free_operand(context, text.substr(at + 1), line);
    Opcode op = Opcode::add;
    switch (text[at]) {
        case '-':
            op = Opcode::sub;
            break;
        case '*':
            op = Opcode::mul;
            break;
        case '/':
            op = Opcode::div;
            break;
        case '%':
            op = Opcode::mod;
            break;
        default:
            break;
    }
    context.emit(op, 0, line);
    context.emit(Opcode::store, target, line);
    return true;
}

// The operands on either side of the operator found at `at`, then its opcode.
void compile_split_at(CompileContext& context, std::string_view text, std::size_t at,
                      const OperatorText& found, std::uint32_t line) {
    compile_operand(context, text.substr(0, at), line);
    compile_operand(context, text.substr(at + found.text.size()), line);
    context.emit(found.op, 0, line);
}

}  // namespace

void compile_operand(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view operand = trim(text);
    if (operand.empty())
        report_error(FailureKind::empty_expression, context.where());
    // The first byte tells the forms apart: a string, true or false, a number,
    // and otherwise a variable name.
    switch (operand.front()) {
        case '"':
            if (operand.size() >= 2 && operand.back() == '"') {
                // the raw bytes between the outer quotes; no escapes
                std::size_t constant = add_string(context.program, operand.substr(1, operand.size() - 2));
                context.emit(Opcode::push_str, static_cast<std::int64_t>(constant), line);
                return;
            }
            break;
        case 't':
        case 'f':
            if (operand == "true" || operand == "false") {
                context.emit(Opcode::push_int, operand == "true" ? 1 : 0, line);
                return;
            }
            break;
        case '-':
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
            if (is_integer_literal(operand)) {
                IntegerParse value = parse_integer(operand);
                if (!value.ok)
                    report_error(FailureKind::bad_number, quoted(operand), context.where(operand));
                context.emit(Opcode::push_int, value.value, line);
                return;
            }
            if (is_float_literal(operand)) {
                context.emit(Opcode::push_float, std::bit_cast<std::int64_t>(*parse_float(operand)), line);
                return;
            }
            break;
        default:
            break;
    }
    // Any other text is a variable name, unchecked: `a+b` is looked up whole.
    context.emit(Opcode::load, resolve(context, operand, line), line);
}

void compile_condition(CompileContext& context, std::string_view text, std::uint32_t line) {
    std::string_view condition = trim(text);
    if (condition == "true" || condition == "false") {
        context.emit(Opcode::push_int, condition == "true" ? 1 : 0, line);
        return;
    }
    // One pass finds where each comparison first occurs; the first of the
    // list that occurs anywhere decides.
    std::size_t first[std::size(comparisons)];
    std::fill(std::begin(first), std::end(first), std::string_view::npos);
    auto note = [&](std::size_t which, std::size_t at) {
        if (first[which] == std::string_view::npos)
            first[which] = at;
    };
    for (std::size_t p = 0; p < condition.size(); ++p) {
        bool equals_next = p + 1 < condition.size() && condition[p + 1] == '=';
        switch (condition[p]) {
            case '=':
                if (equals_next)
                    note(0, p);
                break;
            case '!':
                if (equals_next)
                    note(1, p);
                break;
            case '<':
                if (equals_next)
                    note(2, p);
                note(4, p);
                break;
            case '>':
                if (equals_next)
                    note(3, p);
                note(5, p);
                break;
            default:
                break;
        }
    }
    for (std::size_t which = 0; which < std::size(comparisons); ++which) {
        if (first[which] != std::string_view::npos)
            return compile_split_at(context, condition, first[which], comparisons[which], line);
    }
    compile_operand(context, condition, line);
}

void compile_call(CompileContext& context, std::size_t function, std::string_view arguments,
                  std::uint32_t line) {
    std::size_t count = 0;
    for_each_piece(arguments, [&](std::string_view piece) {
        if (piece.empty())
            return;  // `f(a,,b)` passes two
        compile_operand(context, piece, line);
        ++count;
    });
    unsigned arity = context.program.chunks[function].arity;
    if (count != arity) {
        report_error(FailureKind::wrong_argument_count,
                     "expects " + std::to_string(arity) + " args, got " + std::to_string(count),
                     context.where(arguments));
    }
    context.emit(Opcode::call, static_cast<std::int64_t>(function), line);
}

void compile_assignment(CompileContext& context, std::string_view target, std::string_view expression,
                        std::uint32_t line) {
    // declared first, so the expression may read its own target
    std::uint32_t slot = find_or_declare(context, target);
    std::string_view text = trim(expression);

    if (text.empty())
        report_error(FailureKind::empty_expression, context.where());
    if (text.starts_with("sqrt.")) {
        compile_operand(context, text.substr(5), line);
        context.emit(Opcode::sqrt, 0, line);
        context.emit(Opcode::store, slot, line);
        return;
    }
    if (compile_prefix_form(context, slot, text, line))
        return;
    ExpressionShape shape = shape_of(text);
    for (std::size_t k = 0; k < std::size(logic_operators); ++k) {
        if (shape.logic[k] == std::string_view::npos)
            continue;
        compile_split_at(context, text, shape.logic[k], logic_operators[k], line);
        context.emit(Opcode::store, slot, line);
        return;
    }
    if (compile_call_form(context, slot, text, shape.blank, line))
        return;
    if (compile_arithmetic_form(context, slot, text, shape.arithmetic, line))
        return;
    compile_operand(context, text, line);
    context.emit(Opcode::store, slot, line);
}

AssignmentShape classify_assignment(const Program& program, std::string_view expression) {
    std::string_view text = trim(expression);
    if (text.starts_with("sqrt."))
        return {AssignmentForm::square_root, "sqrt.", false};
    for (const PrefixForm& form : prefix_forms) {
        if (has_prefix(text, form.prefix))
            return {AssignmentForm::prefix, trim(form.prefix), form.usage.has_value()};
    }
    ExpressionShape shape = shape_of(text);
    for (std::size_t at : shape.logic) {
        if (at != std::string_view::npos)
            return {AssignmentForm::logic, {}, false};
    }
    if (shape.blank != std::string_view::npos && find_chunk(program, text.substr(0, shape.blank)))
        return {AssignmentForm::call, {}, false};
    if (shape.arithmetic != std::string_view::npos)
        return {AssignmentForm::arithmetic, {}, false};
    return {AssignmentForm::operand, {}, false};
}

}  // namespace oxel
