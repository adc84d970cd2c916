// The checks of a file's shape, of its variables and of its functions.
#include <algorithm>
#include <unordered_set>

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
        if (tabs && spaces) {
            warn(i, 1, Warning::mixed_indent,
                 "indentation mixes tabs and spaces (a tab counts as 4 columns)");
        } else if (style == 0) {
            style = tabs ? '\t' : ' ';
        } else if (style != (tabs ? '\t' : ' ') && style != 'x') {
            warn(i, 1, Warning::mixed_indent,
                 std::string("indented with ") + (tabs ? "tabs" : "spaces") + " where earlier lines use " +
                     (tabs ? "spaces" : "tabs"));
            style = 'x';  // once per file
        }
    }
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
        for (const Write& write : use.writes) {
            if (!write.added || use.reads.contains(write.name) || write.name.starts_with('_'))
                continue;
            if (!reported.insert(write.name).second)
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
        if (classify_assignment(program_, name + " 1").form != AssignmentForm::call) {
            warn(d, column, Warning::prefix_name,
                 "a function named '" + name + "' cannot be called from an assignment: '(r. " + name +
                     " ...)' is the built-in '" + name + "' form");
        }
        bool in_main = lines_[d].file == 0;
        if (in_main && !called[chunk]) {
            if (find_chunk(program_, function.name) != chunk) {
                warn(d, column, Warning::unused_function,
                     "the function '" + name + "' is never called: a later definition of '" + name +
                         "' takes every call");
            } else {
                warn(d, column, Warning::unused_function, "the function '" + name + "' is never called");
            }
        }
        ++chunk;
    }
}

}  // namespace oxel::lint
