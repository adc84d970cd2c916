// The checks. The program is compiled once with an observer that records the
// files, the stored lines and every variable written or read, per chunk;
// the checks then look at those records, the program image and the
// statement kinds, never at a reading of their own.
#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "base/error_report.h"
#include "compiler/compile_context.h"
#include "compiler/program_structure.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "lint/lint.h"

namespace oxel::lint {

namespace {

constexpr WarningInfo warning_table[] = {
    {"prefix-word", "a statement word that needs no blank is glued to a name: 'inword0' reads input"},
    {"statement-typo", "a misspelt statement is taken as an assignment: 'ehco \"hello\"', 'echo5'"},
    {"call-typo", "a misspelt call creates an array: 'shwo(5)' for the function 'show'"},
    {"indent-unit", "indentation that is not a whole number of 4-column levels"},
    {"mixed-indent", "tabs and spaces mixed in indentation"},
    {"skipped-lines", "lines that are never compiled: after a body's early end, or under a nested oxelfn"},
    {"empty-block", "'if', 'els' or 'lo' with nothing indented under it"},
    {"paren-no-dot", "a parenthesised line without '.' is ignored: '(total + 1)'"},
    {"quoted-comma", "a comma inside quotes splits a comma-separated argument"},
    {"prefix-name", "a function named len, get, cmp, cat, char or fread cannot be called from an assignment"},
    {"unreachable", "a statement after 'rtn' in the same block"},
    {"unused-variable", "a variable that is written and never read"},
    {"unused-function", "a function that is never called"},
};

// One file of the program: its path as the compiler spelled it, a copy of its
// text (findings outlive the compilation), and the compiler's own view of
// the text while the program lives.
struct FileCopy {
    std::string path;
    std::string text;
    std::string_view compiled;
};

// A stored line as offsets into its file's copy.
struct Line {
    std::size_t file;
    std::uint32_t number;
    std::int32_t level;
    std::size_t start;   // offset of the line's first byte (its indentation)
    std::size_t code;    // offset of the stored text
    std::size_t length;  // of the stored text
    std::size_t end;     // offset of the line's end (line feed or end of text), carriage return excluded
};

struct Write {
    std::size_t line;
    std::size_t column;  // 1-based
    std::string name;
    bool added;
};

struct ChunkUse {
    std::vector<Write> writes;
    std::unordered_set<std::string> reads;
};

// Records the compilation.
class Recorder : public CompileObserver {
public:
    void file_read(std::string_view path, std::string_view text) override {
        files.push_back(FileCopy{std::string(path), std::string(text), text});
    }

    void lines_read(const LineList& stored, const BlockEnds& block_ends) override {
        ends = block_ends;
        lines.reserve(stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            const SourceLine& line = stored[i];
            std::string_view stored_text = stored.text(i);
            // a header reached under two spellings shares one text: the
            // line list says which spelling holds the line
            std::size_t file = file_named(stored.file_of(i).path);
            std::size_t code = static_cast<std::size_t>(stored_text.data() - files[file].compiled.data());
            const std::string& text = files[file].text;
            std::size_t start = code == 0 ? std::string::npos : text.rfind('\n', code - 1);
            start = start == std::string::npos ? 0 : start + 1;
            std::size_t end = text.find('\n', code);
            end = end == std::string::npos ? text.size() : end;
            if (end > start && text[end - 1] == '\r')
                --end;
            lines.push_back(Line{file, line.number, line.level, start, code, stored_text.size(), end});
        }
    }

    void wrote(const CompileContext& context, std::string_view name, bool added) override {
        // a chunk's lines are in the file of its definition; the top level's
        // statements are in the main file
        std::string_view path = context.program.chunks[context.current_chunk].file;
        std::size_t file = path.empty() ? 0 : file_named(path);
        const char* begin = files[file].compiled.data();
        if (name.data() < begin || name.data() > begin + files[file].compiled.size())
            return;  // the compiler writes only names it read from the source
        std::size_t offset = static_cast<std::size_t>(name.data() - begin);
        std::size_t line = line_at(file, offset);
        chunk(context).writes.push_back(
            Write{line, offset - lines[line].start + 1, std::string(name), added});
    }

    void read(const CompileContext& context, std::string_view name, std::uint32_t) override {
        chunk(context).reads.emplace(name);
    }

    std::vector<FileCopy> files;
    std::vector<Line> lines;
    BlockEnds ends;
    std::unordered_map<std::size_t, ChunkUse> chunks;

private:
    ChunkUse& chunk(const CompileContext& context) { return chunks[context.current_chunk]; }

    // Include paths are unique: a path is included once.
    std::size_t file_named(std::string_view path) const {
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (files[f].path == path)
                return f;
        }
        return 0;
    }

    // The stored line holding the offset: the last line of the file that
    // starts at or before it (lines of one file are stored in order).
    std::size_t line_at(std::size_t file, std::size_t offset) const {
        auto after = std::upper_bound(lines.begin(), lines.end(), std::pair{file, offset},
                                      [](const std::pair<std::size_t, std::size_t>& key, const Line& line) {
                                          return key.first < line.file ||
                                                 (key.first == line.file && key.second < line.start);
                                      });
        return static_cast<std::size_t>(after - lines.begin()) - 1;
    }
};

// Damerau distance of at most one: one byte changed, added, dropped, or two
// neighbours swapped.
bool within_one_edit(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > 1)
        return false;
    std::size_t i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    if (a.size() == b.size()) {
        if (a.substr(i + 1) == b.substr(i + 1))
            return true;  // changed
        return i + 1 < a.size() && a[i] == b[i + 1] && a[i + 1] == b[i] && a.substr(i + 2) == b.substr(i + 2);
    }
    return a.substr(i) == b.substr(i + 1);  // added
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// `name` looks like a slip of the keyboard for `word`.
bool looks_like(std::string_view name, std::string_view word) {
    return name != word && (within_one_edit(name, word) || equal_ignoring_case(name, word));
}

// The byte of the first comma inside double quotes that the statement's
// argument splitting will cut at; npos when there is none. `all` is false
// where only the first comma cuts (echow).
std::size_t quoted_comma(std::string_view arguments, bool all) {
    bool quoted = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == '"') {
            quoted = !quoted;
        } else if (arguments[i] == ',') {
            if (quoted)
                return i;
            if (!all)
                return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

// The part of a statement that is split at commas, as a view into `text`.
std::optional<std::string_view> split_part(const Program& program, std::string_view text, StatementKind kind,
                                           bool& all) {
    all = true;
    switch (kind) {
        case StatementKind::print_with_wait:
            all = false;
            return text.substr(5);
        case StatementKind::array_store:
            return text.substr(3);
        case StatementKind::open_file:
            return text.substr(5);
        case StatementKind::write_file:
            return text.substr(6);
        case StatementKind::port_output:
        case StatementKind::call_or_array: {
            std::size_t open = text.find('(');
            if (open == std::string_view::npos)
                return std::nullopt;
            return text.substr(open + 1);
        }
        case StatementKind::assignment: {
            std::size_t dot = text.find('.');
            if (dot == std::string_view::npos)
                return std::nullopt;
            std::string_view expression = text.substr(dot + 1, text.size() - dot - 2);
            AssignmentShape shape = classify_assignment(program, expression);
            if (shape.form == AssignmentForm::call ||
                (shape.form == AssignmentForm::prefix && shape.two_arguments))
                return expression;
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

// The silencing comment after the stored text, if the compiler cut one off:
// `cmt lint-ignore` (every warning) or `cmt lint-ignore=a,b`, either followed
// by anything. Only a comment the compiler removed can silence, so adding one
// never changes what the line does.
bool silenced(std::string_view comment, std::string_view name) {
    comment = trim(comment);
    if (!comment.starts_with("cmt"))
        return false;
    comment = trim(comment.substr(3));
    constexpr std::string_view word = "lint-ignore";
    if (!comment.starts_with(word))
        return false;
    comment.remove_prefix(word.size());
    if (comment.empty() || is_blank(comment[0]))
        return true;
    if (comment[0] != '=')
        return false;
    comment.remove_prefix(1);
    // the list ends at the first byte that is no part of a name or a comma
    comment = comment.substr(0, comment.find_first_not_of("abcdefghijklmnopqrstuvwxyz-,"));
    for (;;) {
        std::size_t comma = comment.find(',');
        if (comment.substr(0, comma) == name)
            return true;
        if (comma == std::string_view::npos)
            return false;
        comment.remove_prefix(comma + 1);
    }
}

class Checker {
public:
    Checker(const Recorder& recorded, const Program& program)
        : files_(recorded.files),
          lines_(recorded.lines),
          ends_(recorded.ends),
          chunks_(recorded.chunks),
          program_(program) {
        for (const auto& [chunk, use] : chunks_) {
            for (const Write& write : use.writes)
                read_after_write_[write.line] = use.reads.contains(write.name);
        }
    }

    std::vector<Finding> run() {
        check_layout();
        find_skipped_lines();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (!skipped_[i])
                check_line(i);
        }
        check_variables();
        check_functions();
        return std::move(findings_);
    }

private:
    std::string_view text(std::size_t i) const {
        const Line& line = lines_[i];
        return std::string_view(files_[line.file].text).substr(line.code, line.length);
    }
    std::string_view raw(std::size_t i) const {
        const Line& line = lines_[i];
        return std::string_view(files_[line.file].text).substr(line.start, line.end - line.start);
    }
    std::size_t code_column(std::size_t i) const { return lines_[i].code - lines_[i].start + 1; }

    void warn(std::size_t i, std::size_t column, std::string_view name, std::string message) {
        const Line& line = lines_[i];
        std::string_view comment = std::string_view(files_[line.file].text)
                                       .substr(line.code + line.length, line.end - line.code - line.length);
        if (silenced(comment, name))
            return;
        findings_.push_back(Finding{Severity::warning, files_[line.file].path, line.number,
                                    static_cast<std::uint32_t>(column), std::string(name), std::move(message),
                                    std::string(raw(i))});
    }

    // The blanks before the line's code; carriage returns there are trimmed,
    // not indentation.
    std::string_view indentation(std::size_t i) const {
        std::string_view indent = raw(i).substr(0, lines_[i].code - lines_[i].start);
        return indent.substr(0, indent.find_first_not_of(" \t"));
    }
    static std::size_t columns_of(std::string_view indent) {
        std::size_t columns = 0;
        for (char c : indent)
            columns += c == '\t' ? indent_columns : 1;
        return columns;
    }

    bool is_definition(std::size_t i) const { return text(i).starts_with("oxelfn"); }
    bool is_statement(std::size_t i) const { return !is_ignored_line(text(i)) && !is_definition(i); }

    // Indentation: a whole number of levels, one kind of blank per line and
    // per file.
    void check_layout() {
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
                warn(i, code_column(i), "indent-unit",
                     "indented by " + std::to_string(columns) + " columns, which is read as level " +
                         std::to_string(lines_[i].level) + " (a level is a tab or 4 spaces)");
            }
            char& style = file_style[lines_[i].file];
            if (tabs && spaces) {
                warn(i, 1, "mixed-indent", "indentation mixes tabs and spaces (a tab counts as 4 columns)");
            } else if (style == 0) {
                style = tabs ? '\t' : ' ';
            } else if (style != (tabs ? '\t' : ' ') && style != 'x') {
                warn(i, 1, "mixed-indent",
                     std::string("indented with ") + (tabs ? "tabs" : "spaces") +
                         " where earlier lines use " + (tabs ? "spaces" : "tabs"));
                style = 'x';  // once per file
            }
        }
    }

    // Lines that no block walk reaches: the rest of a function body after a
    // line shallower than its first line, and nested definitions with the
    // lines under them.
    void find_skipped_lines() {
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
                    warn(k, code_column(k), "skipped-lines",
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
            warn(i, code_column(i), "skipped-lines",
                 "a definition inside a block is skipped with every line under it: definitions stand at "
                 "level 0");
            std::fill(skipped_.begin() + static_cast<std::ptrdiff_t>(i),
                      skipped_.begin() + static_cast<std::ptrdiff_t>(ends_[i]) + 1, true);
        }
    }

    void check_line(std::size_t i) {
        std::string_view line = text(i);
        if (is_ignored_line(line)) {
            if (line.front() == '(' && line.back() == ')') {
                warn(i, code_column(i), "paren-no-dot",
                     "a parenthesised line without '.' is ignored; an assignment is written '(target. "
                     "expression)'");
            }
            return;
        }
        if (is_definition(i))
            return;
        StatementKind kind = classify_statement(line);
        if (check_glued_word(i, kind))
            return;
        check_typos(i, kind);
        check_quoted_comma(i, kind, program_, [&](std::size_t column, std::string message) {
            warn(i, column, "quoted-comma", std::move(message));
        });
        // `if x` with only an `els` block is how "unless x" is written
        bool else_follows =
            i + 1 < lines_.size() && lines_[i + 1].level == lines_[i].level && text(i + 1) == "els";
        if ((kind == StatementKind::conditional || kind == StatementKind::loop ||
             kind == StatementKind::bare_else) &&
            ends_[i] == i && !(kind == StatementKind::conditional && else_follows)) {
            std::string_view word = kind == StatementKind::conditional ? "if"
                                    : kind == StatementKind::loop      ? "lo"
                                                                       : "els";
            warn(i, code_column(i), "empty-block",
                 "nothing is indented under this '" + std::string(word) + "', so its block is empty");
        }
        if (kind == StatementKind::return_value)
            check_after_return(i);
    }

    // `in`, `echow`, `vga` and `pout` need no blank after them, and `lo`
    // none before its count: true when the line was reported.
    bool check_glued_word(std::size_t i, StatementKind kind) {
        std::string_view line = text(i);
        std::string_view word;
        switch (kind) {
            case StatementKind::loop:
                // `lo5` meant as giving 5 to `lo`: a loop with nothing under it,
                // and nothing indented a little under it either
                if (ends_[i] != i || line.find_first_not_of("0123456789", 2) != std::string_view::npos ||
                    (i + 1 < lines_.size() && lines_[i + 1].file == lines_[i].file &&
                     columns_of(indentation(i + 1)) > columns_of(indentation(i)))) {
                    return false;
                }
                warn(i, code_column(i), "prefix-word",
                     "'" + std::string(line) + "' is read as a loop with nothing under it, not as giving " +
                         std::string(line.substr(2)) +
                         " to a variable 'lo': a line that starts with 'lo' is a loop");
                return true;
            case StatementKind::input:
                word = "in";
                break;
            case StatementKind::print_with_wait:
                word = "echow";
                break;
            case StatementKind::display:
                word = "vga";
                break;
            case StatementKind::port_output:
                word = "pout";
                break;
            default:
                return false;
        }
        if (line.size() <= word.size() || !is_identifier_byte(line[word.size()]))
            return false;
        std::string glued(line.substr(0, line.find_first_of(" \t(\",")));
        std::string what = kind == StatementKind::input
                               ? "an input statement into '" + std::string(line.substr(2)) + "'"
                           : kind == StatementKind::display     ? "a display command"
                           : kind == StatementKind::port_output ? "a port output"
                                                                : "a print with wait";
        warn(i, code_column(i), "prefix-word",
             "'" + glued + "' is read as " + what + ": a line that starts with '" + std::string(word) +
                 "' is that statement; separate the word with a blank or choose another name");
        return false;
    }

    // A slip that made a string assignment or an array shows in a name that
    // nothing reads; a name that is read is meant as a variable.
    void check_typos(std::size_t i, StatementKind kind) {
        std::string_view line = text(i);
        auto written = read_after_write_.find(i);
        if (written == read_after_write_.end() || written->second)
            return;
        static constexpr std::string_view keywords[] = {"echo",   "echow", "rtn",  "set", "fopen", "fwrite",
                                                        "fclose", "vga",   "pout", "els", "if",    "cmt"};
        if (kind == StatementKind::number_assignment) {
            // `echo5`, `rtn0`: the statement word glued to a number
            std::string_view name = line.substr(0, line.find_first_of("-0123456789"));
            if (std::find(std::begin(keywords), std::end(keywords), name) != std::end(keywords)) {
                warn(i, code_column(i), "statement-typo",
                     "this assigns " + std::string(line.substr(name.size())) + " to the variable '" +
                         std::string(name) + "'; the statement is '" + std::string(name) +
                         "' followed by a blank");
            }
            return;
        }
        if (kind == StatementKind::string_assignment) {
            std::string_view name = trim(line.substr(0, line.find('"')));
            bool spaced = is_blank(line[line.find('"') - 1]);
            static constexpr std::string_view foreign[] = {"print", "println", "printf", "puts"};
            for (std::string_view word : keywords) {
                if (name == word || (spaced && word.size() >= 3 && looks_like(name, word))) {
                    warn(i, code_column(i), "statement-typo",
                         "this assigns a string to the variable '" + std::string(name) +
                             "'; the statement is '" + std::string(word) + "' followed by a blank");
                    return;
                }
            }
            for (std::string_view word : foreign) {
                if (spaced && equal_ignoring_case(name, word)) {
                    warn(i, code_column(i), "statement-typo",
                         "this assigns a string to the variable '" + std::string(name) +
                             "'; to print, write 'echo' followed by a blank");
                    return;
                }
            }
            return;
        }
        if (kind != StatementKind::call_or_array)
            return;
        std::string_view name = trim(line.substr(0, line.find('(')));
        if (find_chunk(program_, name))
            return;
        for (const Chunk& chunk : program_.chunks) {
            if (chunk.name != top_chunk_name && looks_like(name, chunk.name)) {
                warn(i, code_column(i), "call-typo",
                     "no function is named '" + std::string(name) +
                         "', so this creates an array; did you mean '" + std::string(chunk.name) + "'?");
                return;
            }
        }
    }

    // Within the same block, the next statement after `rtn` never runs.
    void check_after_return(std::size_t i) {
        std::int32_t level = lines_[i].level;
        for (std::size_t j = ends_[i] + 1; j < lines_.size() && lines_[j].level == level; j = ends_[j] + 1) {
            if (skipped_[j])
                return;
            if (is_statement(j)) {
                warn(j, code_column(j), "unreachable",
                     "this line never runs: it follows 'rtn' on line " + std::to_string(lines_[i].number) +
                         " in the same block");
                return;
            }
        }
    }

    void check_variables() {
        for (const auto& [chunk, use] : chunks_) {
            std::unordered_set<std::string_view> reported;
            for (const Write& write : use.writes) {
                if (!write.added || use.reads.contains(write.name) || write.name.starts_with('_'))
                    continue;
                if (!reported.insert(write.name).second)
                    continue;
                warn(write.line, write.column, "unused-variable",
                     "the variable '" + write.name + "' is written but never read");
            }
        }
    }

    // The definition lines in chunk order: the function pass makes one chunk
    // per level-0 `oxelfn` line, in line order.
    void check_functions() {
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
                warn(d, column, "prefix-name",
                     "a function named '" + name + "' cannot be called from an assignment: '(r. " + name +
                         " ...)' is the built-in '" + name + "' form");
            }
            bool in_main = lines_[d].file == 0;
            if (in_main && !called[chunk]) {
                if (find_chunk(program_, function.name) != chunk) {
                    warn(d, column, "unused-function",
                         "the function '" + name + "' is never called: a later definition of '" + name +
                             "' takes every call");
                } else {
                    warn(d, column, "unused-function", "the function '" + name + "' is never called");
                }
            }
            ++chunk;
        }
    }

public:
    // Warnings that explain a compile error: a comma inside quotes on the
    // failing line, and for an undefined name, the earlier line where a
    // statement word swallowed it ("inword0" before "echo inword").
    std::vector<Finding> failure_hints(std::string_view path, const Failure& failure) {
        skipped_.assign(lines_.size(), false);
        std::size_t failing = lines_.size();
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (files_[lines_[i].file].path == path && lines_[i].number == failure.where.line) {
                failing = i;
                break;
            }
        }
        if (failing == lines_.size() || !is_statement(failing))
            return {};
        check_quoted_comma(failing, classify_statement(text(failing)), program_,
                           [&](std::size_t column, std::string message) {
                               warn(failing, column, "quoted-comma", std::move(message));
                           });
        if (failure.kind == FailureKind::undefined_variable && failure.where.first_column != 0) {
            // the failure's range is the name as written; the arithmetic
            // form reads it without its blanks
            const Line& line = lines_[failing];
            std::string name;
            for (char c : std::string_view(files_[line.file].text)
                              .substr(line.start + failure.where.first_column - 1,
                                      failure.where.last_column - failure.where.first_column + 1)) {
                if (!is_blank(c))
                    name += c;
            }
            for (std::size_t i = 0; i < failing; ++i) {
                if (is_identifier(name) && text(i).starts_with(name) && is_statement(i))
                    check_glued_word(i, classify_statement(text(i)));
            }
        }
        return std::move(findings_);
    }

    // Also used for the line of a compile error, where there is no program
    // beyond what was recorded.
    template <typename Report>
    void check_quoted_comma(std::size_t i, StatementKind kind, const Program& program, Report report) {
        std::string_view line = text(i);
        bool all = true;
        auto part = split_part(program, line, kind, all);
        if (!part)
            return;
        std::size_t comma = quoted_comma(*part, all);
        if (comma == std::string_view::npos)
            return;
        std::size_t column = static_cast<std::size_t>(part->data() + comma - line.data()) + code_column(i);
        report(
            column,
            "this comma inside quotes splits the argument: commas separate arguments even inside a string");
    }

private:
    const std::vector<FileCopy>& files_;
    const std::vector<Line>& lines_;
    const BlockEnds& ends_;
    const std::unordered_map<std::size_t, ChunkUse>& chunks_;
    const Program& program_;
    std::vector<bool> skipped_;
    std::unordered_map<std::size_t, bool> read_after_write_;  // line: whether its chunk reads what it wrote
    std::vector<Finding> findings_;
};

// The line of the file with the number, without its line end.
std::string_view line_by_number(std::string_view text, std::uint32_t number) {
    std::size_t start = 0;
    for (std::uint32_t n = 1; n < number; ++n) {
        std::size_t feed = text.find('\n', start);
        if (feed == std::string_view::npos)
            return {};
        start = feed + 1;
    }
    std::string_view line = text.substr(start, text.find('\n', start) - start);
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    return line;
}

std::vector<Finding> report_failure(const Recorder& recorded, const Failure& failure,
                                    std::string_view main_path) {
    // The failure names the file its line is in, main file or header; a
    // file that cannot be opened names no line of its own.
    std::string path = failure.where.file.empty() ? std::string(main_path) : failure.where.file;
    std::string_view source;
    for (const FileCopy& file : recorded.files) {
        if (file.path == path)
            source = line_by_number(file.text, failure.where.line);
    }
    // the caret at the failure's first column; without one, at the line's first non-blank byte
    std::uint32_t column = failure.where.first_column;
    if (column == 0) {
        std::size_t first = source.find_first_not_of(" \t");
        column = first == std::string_view::npos ? 1 : static_cast<std::uint32_t>(first + 1);
    }
    std::vector<Finding> findings;
    findings.push_back(
        Finding{Severity::error, path, failure.where.line, column, "", failure.message, std::string(source)});

    Program empty;  // the failed compilation left none
    std::vector<Finding> hints = Checker(recorded, empty).failure_hints(path, failure);
    findings.insert(findings.end(), hints.begin(), hints.end());
    return findings;
}

}  // namespace

const std::span<const WarningInfo> warnings{warning_table};

bool is_warning_name(std::string_view name) {
    return std::any_of(warnings.begin(), warnings.end(),
                       [&](const WarningInfo& w) { return w.name == name; });
}

std::vector<Finding> check_program(std::string text, std::string_view path) {
    Recorder recorded;
    std::optional<Program> program;
    try {
        program = compile_program(std::move(text), path, &recorded);
    } catch (const Failure& failure) {
        return report_failure(recorded, failure, path);
    }
    std::vector<Finding> findings = Checker(recorded, *program).run();
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
        auto file_of = [&](const Finding& f) {
            for (std::size_t i = 0; i < recorded.files.size(); ++i) {
                if (recorded.files[i].path == f.path)
                    return i;
            }
            return recorded.files.size();
        };
        return std::tuple(file_of(a), a.line, a.column) < std::tuple(file_of(b), b.line, b.column);
    });
    return findings;
}

}  // namespace oxel::lint
