// The checks of a file's shape, of its variables and of its functions.
#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "compiler/text_rules.h"
#include "lint/checker.h"

namespace oxel::lint {

// Indentation: a whole number of levels, one kind of blank per line and
// per file.
void Checks::check_layout() {
    // per file: the blank of its first indented line; 'x' once reported
    std::vector<char> file_style(files_.size(), 0);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view indent = indentation(i);
        if (indent.empty())
            continue;
        std::size_t columns = columns_of(indent);
        bool tabs = indent.find('\t') != std::string_view::npos;
        bool spaces = indent.find(' ') != std::string_view::npos;
        if (columns % indent_columns != 0) {
            warn(i, code_column(i), Warning::indent_unit,
                 "indented by " + std::to_string(columns) + " columns, which is read as level " +
                     std::to_string(lines_[i].level) + " (a level is a tab or 4 spaces)");
        }
        char& style = file_style[lines_[i].file];
        // the certain fix keeps the level: each tab becomes the 4 spaces it counts as
        std::string spaced = tabs ? std::string(columns, ' ') : std::string();
        std::string level = std::to_string(columns) + " columns, level " + std::to_string(lines_[i].level);
        if (tabs && spaces) {
            warn(i, 1, Warning::mixed_indent,
                 "indentation mixes tabs and spaces (" + level + ": a tab counts as 4 columns)", indent.size(),
                 std::move(spaced));
        } else if (style == 0) {
            style = tabs ? '\t' : ' ';
        } else if (style != (tabs ? '\t' : ' ') && style != 'x') {
            warn(i, 1, Warning::mixed_indent,
                 std::string("indented with ") + (tabs ? "tabs" : "spaces") + " (" + level +
                     ") where earlier lines use " + (tabs ? "spaces" : "tabs") + ": a tab counts as 4 columns",
                 indent.size(), std::move(spaced));
            style = 'x';  // once per file
        }
    }
    // a byte-order mark makes the first line of its file no statement
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i == 0 || lines_[i].file != lines_[i - 1].file)
            check_byte_order_mark(i);
    }
}

bool Checks::check_byte_order_mark(std::size_t i) {
    if (lines_[i].start != 0 || !raw(i).starts_with(byte_order_mark))
        return false;
    warn(i, 1, Warning::byte_order_mark, std::string(byte_order_mark_message), byte_order_mark.size());
    return true;
}

// Lines that no block walk reaches: the rest of a function body after a
// line shallower than its first line, and nested definitions with the
// lines under them.
void Checks::find_skipped_lines() {
    skipped_.assign(lines_.size(), false);
    for (std::size_t d = 0; d < lines_.size(); ++d) {
        if (lines_[d].level != 0 || !is_definition(d))
            continue;
        std::size_t end = d + 1;
        while (end < lines_.size() && lines_[end].level > 0)
            ++end;
        if (end == d + 1)
            continue;
        std::int32_t body_level = lines_[d + 1].level;
        for (std::size_t k = d + 2; k < end; ++k) {
            if (lines_[k].level < body_level) {
                warn(k, code_column(k), Warning::skipped_lines,
                     (end - 1 == k ? std::string("this line is never compiled")
                                   : "this line and the " + std::to_string(end - 1 - k) +
                                         " after it are never compiled") +
                         ": the function body ended here, as its first line is at level " +
                         std::to_string(body_level) + " and this one at level " +
                         std::to_string(lines_[k].level));
                std::fill(skipped_.begin() + static_cast<std::ptrdiff_t>(k),
                          skipped_.begin() + static_cast<std::ptrdiff_t>(end), true);
                break;
            }
        }
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (skipped_[i] || lines_[i].level == 0 || !is_definition(i))
            continue;
        warn(i, code_column(i), Warning::skipped_lines,
             "a definition inside a block is skipped with every line under it: definitions stand at "
             "level 0");
        std::fill(skipped_.begin() + static_cast<std::ptrdiff_t>(i),
                  skipped_.begin() + static_cast<std::ptrdiff_t>(ends_[i]) + 1, true);
    }
}

void Checks::check_variables() {
    for (const auto& [chunk, use] : chunks_) {
        std::unordered_set<std::string_view> reported;
        // names first written by `in name`: reading input into a name that
        // nothing reads skips a line of input, but a later write is unused
        std::unordered_set<std::string_view> from_input;
        for (const Write& write : use.writes) {
            if (use.reads.contains(write.name) || write.name.starts_with('_'))
                continue;
            bool input = classify_statement(text(write.line)) == StatementKind::input;
            if (write.added && input)
                from_input.insert(write.name);
            if ((!write.added && !from_input.contains(write.name)) || input)
                continue;
            // a slip reported on the line explains the variable it made
            if (explained_lines_.contains(write.line) || !reported.insert(write.name).second)
                continue;
            warn(write.line, write.column, Warning::unused_variable,
                 "the variable '" + write.name + "' is written but never read");
        }
    }
}

// The definition lines in chunk order: the function pass makes one chunk
// per level-0 `oxelfn` line, in line order.
void Checks::check_functions() {
    std::vector<bool> called(program_.chunks.size(), false);
    for (const Chunk& chunk : program_.chunks) {
        for (const Instruction& in : chunk.code) {
            if (in.op == Opcode::call)
                called[static_cast<std::size_t>(in.a)] = true;
        }
    }
    std::size_t chunk = 0;
    for (std::size_t d = 0; d < lines_.size() && chunk + 1 < program_.chunks.size(); ++d) {
        if (lines_[d].level != 0 || !is_definition(d))
            continue;
        const Chunk& function = program_.chunks[chunk];
        std::size_t column = code_column(d);
        const char* line_start = files_[lines_[d].file].compiled.data() + lines_[d].start;
        if (function.name.data() >= line_start)
            column = static_cast<std::size_t>(function.name.data() - line_start) + 1;
        std::string name(function.name);
        if (const Definition* definition = definition_named(name); definition && definition->line == d)
            check_prefix_name(*definition, true);
        bool in_main = lines_[d].file == 0;
        if (in_main && !called[chunk] && !explained_functions_.contains(name)) {
            if (find_chunk(program_, function.name) != chunk) {
                warn(d, column, Warning::unused_function,
                     "the function '" + name + "' is never called: a later definition of '" + name +
                         "' takes every call",
                     column + name.size() - 1);
            } else {
                warn(d, column, Warning::unused_function, "the function '" + name + "' is never called",
                     column + name.size() - 1);
            }
        }
        ++chunk;
    }
}

void Checks::check_prefix_name(const Definition& definition, bool with_program) {
    std::string name(definition.name);
    std::size_t column = column_of(definition.line, definition.name);
    std::string statement = name + "(...)";
    std::string reading = glued_reading(statement, classify_statement(statement));
    if (!reading.empty()) {
        warn(definition.line, column, Warning::prefix_name,
             "a function named '" + name + "' cannot be called as a statement: '" + statement + "' is read as " +
                 reading + "; call it from an assignment, '(r. " + name + " ...)', or choose another name",
             column + name.size() - 1);
    } else if (with_program && classify_assignment(program_, name + " 1").form != AssignmentForm::call) {
        warn(definition.line, column, Warning::prefix_name,
             "a function named '" + name + "' cannot be called from an assignment: '(r. " + name +
                 " ...)' is the built-in '" + name + "' form",
             column + name.size() - 1);
    }
}

std::vector<Checks::Definition> Checks::read_definitions() const {
    std::vector<Definition> found;
    for (std::size_t d = 0; d < lines_.size(); ++d) {
        if (lines_[d].level != 0 || !is_definition(d))
            continue;
        std::string_view rest = trim(text(d).substr(statement_word(StatementKind::definition).size()));
        std::size_t dot = rest.find('.');
        Definition definition{d, trim(rest.substr(0, dot)), {}};
        if (dot != std::string_view::npos) {
            for (std::string_view params = rest.substr(dot + 1);;) {
                std::size_t comma = params.find(',');
                definition.params.emplace_back(trim(params.substr(0, comma)));
                if (comma == std::string_view::npos)
                    break;
                params.remove_prefix(comma + 1);
            }
        }
        found.push_back(std::move(definition));
    }
    return found;
}

// Calls reach the last definition of a name.
const Checks::Definition* Checks::definition_named(std::string_view name) const {
    for (auto it = definitions_.rbegin(); it != definitions_.rend(); ++it) {
        if (it->name == name)
            return &*it;
    }
    return nullptr;
}

std::vector<std::string> Checks::function_names() const {
    std::vector<std::string> names;
    for (const Definition& definition : definitions_)
        names.emplace_back(definition.name);
    return names;
}

// A body runs from its definition to the next line of level 0.
std::vector<std::size_t> Checks::find_bodies() const {
    std::vector<std::size_t> bodies(lines_.size());
    std::size_t body = lines_.size();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].level == 0 || (i > 0 && lines_[i].file != lines_[i - 1].file))
            body = lines_[i].level == 0 && is_definition(i) ? i : lines_.size();
        bodies[i] = body;
    }
    return bodies;
}

std::vector<std::string> Checks::known_variables(std::size_t i) const {
    std::vector<std::string> known;
    std::size_t body = bodies_[i];
    if (body != lines_.size()) {
        for (const Definition& definition : definitions_) {
            if (definition.line == body)
                known = definition.params;
        }
    }
    std::vector<const Write*> writes;
    for (const auto& [chunk, use] : chunks_) {
        for (const Write& write : use.writes) {
            if (write.line <= i && bodies_[write.line] == body)
                writes.push_back(&write);
        }
    }
    // in line order, so that of two names equally near the first written is offered
    std::sort(writes.begin(), writes.end(), [](const Write* a, const Write* b) {
        return std::tie(a->line, a->column) < std::tie(b->line, b->column);
    });
    for (const Write* write : writes) {
        if (std::find(known.begin(), known.end(), write->name) == known.end())
            known.push_back(write->name);
    }
    return known;
}

}  // namespace oxel::lint
