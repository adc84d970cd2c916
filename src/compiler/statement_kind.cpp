#include "compiler/statement_kind.h"

#include "compiler/text_rules.h"

namespace oxel {

StatementKind classify_statement(std::string_view text) {
    if (text == "rtn")
        return StatementKind::bare_return;
    if (starts_with_word(text, "rtn"))
        return StatementKind::return_value;
    if (text == "els")
        return StatementKind::bare_else;
    if (starts_with_word(text, "if"))
        return StatementKind::conditional;
    if (text.starts_with("lo"))
        return StatementKind::loop;
    if (text.starts_with("echow"))
        return StatementKind::print_with_wait;
    if (text == "echo")
        return StatementKind::print_empty;
    if (starts_with_word(text, "echo"))
        return StatementKind::print;
    if (text.starts_with("in"))
        return StatementKind::input;
    if (starts_with_word(text, "set"))
        return StatementKind::array_store;
    if (starts_with_word(text, "fopen"))
        return StatementKind::open_file;
    if (text == "fclose")
        return StatementKind::bare_close;
    if (starts_with_word(text, "fwrite"))
        return StatementKind::write_file;
    if (starts_with_word(text, "fclose"))
        return StatementKind::close_file;
    if (text.starts_with("vga"))
        return StatementKind::display;
    if (text.starts_with("pout"))
        return StatementKind::port_output;
    if (!text.empty() && text.front() == '(' && text.back() == ')')
        return StatementKind::assignment;
    if (!text.empty() && text.back() == ')' && text.find('(') != std::string_view::npos)
        return StatementKind::call_or_array;
    if (text.find('"') != std::string_view::npos)
        return StatementKind::string_assignment;
    return StatementKind::number_assignment;
}

}  // namespace oxel
