// The whole compilation: split the main file, take in headers (include pass),
// find the definitions (function pass), compile each body into its chunk
// (body pass), then the top-level code into "__top".
#include <map>
#include <unordered_set>

#include "base/platform.h"
#include "compiler/compile_context.h"
#include "compiler/program_structure.h"
#include "compiler/text_rules.h"

namespace oxel {

std::string resolve_header_path(std::string_view dir, std::string_view text) {
    if (dir.empty() || (text.size() > 1 && text[1] == ':') || text[0] == '/' || text[0] == '\\') {
        return std::string(text);
    }
    std::string path(dir);
    path += text;
    return path;
}

namespace {

// The list grows while it is walked: headers named by headers are taken in
// by the same walk. Paths are compared as spelled, so every new spelling is
// an include of its own; but a file reached before under another spelling
// (same device and inode) is not read again, its text is shared. The text
// taken in by all includes together, each resolved path and header text
// (a shared text counted at every include), stays below the main file's
// limit: the include that would reach it cannot be taken in. So no program
// of many spellings, nor a path growing at every level, exhausts memory.
void take_in_headers(LineList& lines, Program& program, CompileObserver* observer) {
    std::unordered_set<std::string_view> included;
    std::map<platform::FileIdentity, std::string_view> texts_read;
    std::size_t text_taken_in = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == max_stored_lines)
            report_error(FailureKind::include_loop, SourceRange{std::string(lines.file_of(0).path), 1, 0, 0});
        std::string_view text = lines.text(i);
        if (text.size() < 4 || !text.ends_with(".oxh"))
            continue;
        std::string path = resolve_header_path(lines.file_of(i).dir, text);
        if (included.contains(path))
            continue;
        std::string_view kept_path = keep_text(program, std::move(path));
        included.insert(kept_path);
        const auto cannot_open = [&] {
            report_error(FailureKind::cannot_open_header, quoted(kept_path), range_of(lines, i, text));
        };
        const auto identity = platform::identify_file(kept_path);
        const auto known = identity ? texts_read.find(*identity) : texts_read.end();
        std::string_view header_text;
        if (known != texts_read.end()) {
            header_text = known->second;
        } else {
            auto header = platform::read_whole_file(kept_path, header_read_limit);
            if (!header)
                cannot_open();
            header_text = keep_text(program, std::move(*header));
            if (identity)
                texts_read.emplace(*identity, header_text);
        }
        text_taken_in += kept_path.size() + header_text.size();
        if (text_taken_in >= include_text_limit)
            cannot_open();
        program.sources.emplace_back(kept_path, header_text);
        if (observer)
            observer->file_read(kept_path, header_text);
        split_lines(lines, header_text, kept_path, directory_of(kept_path), true);
    }
}

// `oxelfn name.p1, p2`: the first dot separates the name from the parameters.
PendingFunction define_function(Program& program, const LineList& lines, std::size_t at) {
    std::string_view definition_path = lines.file_of(at).path;
    std::string_view rest = trim(lines.text(at).substr(6));
    std::size_t dot = rest.find('.');
    std::string_view name = trim(rest.substr(0, dot));
    if (!is_identifier(name)) {
        report_error(FailureKind::bad_function_name, quoted(name), range_of(lines, at, name));
    }
    PendingFunction function{};
    if (dot != std::string_view::npos) {
        std::string_view params = rest.substr(dot + 1);
        for (;;) {
            std::size_t comma = params.find(',');
            std::string_view param = trim(params.substr(0, comma));
            if (!is_identifier(param)) {
                report_error(FailureKind::bad_param_name, quoted(param), range_of(lines, at, param));
            }
            function.params.push_back(param);
            if (comma == std::string_view::npos)
                break;
            params.remove_prefix(comma + 1);
        }
    }
    // The arity is kept in 8 bits.
    constexpr std::size_t max_params = 255;
    if (function.params.size() > max_params) {
        report_error(FailureKind::too_many_params, quoted(name), range_of(lines, at, name));
    }

    // the body runs to the next line of level 0
    std::size_t end = at + 1;
    while (end < lines.size() && lines[end].level > 0)
        ++end;
    function.first_line = at + 1;
    function.last_line = end - 1;
    function.path = definition_path;

    Chunk chunk;
    chunk.name = name;
    chunk.file = definition_path;
    chunk.arity = static_cast<std::uint8_t>(function.params.size());
    function.chunk = add_chunk(program, std::move(chunk));
    return function;
}

std::vector<PendingFunction> find_functions(Program& program, const LineList& lines) {
    std::vector<PendingFunction> functions;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].level == 0 && lines.text(i).starts_with("oxelfn")) {
            functions.push_back(define_function(program, lines, i));
        }
    }
    return functions;
}

// The compiled code goes to the chunk at its exact size, plus room for the
// one instruction the machine appends when it makes the code runnable in
// place (so that append moves nothing); the buffer is emptied for the next
// chunk but keeps its room.
void finish_chunk(CompileContext& context, std::size_t definition) {
    Chunk& chunk = context.program.chunks[context.current_chunk];
    chunk.code.reserve(context.code.size() + 1);
    chunk.code.assign(context.code.begin(), context.code.end());
    chunk.slots = context.next_slot;
    if (context.observer)
        context.observer->chunk_finished(context, definition);
    context.code.clear();
}

void compile_body(Program& program, const LineList& lines, const BlockEnds& ends,
                  std::vector<Instruction>& code, const PendingFunction& function,
                  CompileObserver* observer) {
    CompileContext context{lines, ends, program, function.chunk, code, {}, 0, observer};
    // A parameter named twice keeps the later slot; both slots count.
    for (std::size_t i = 0; i < function.params.size(); ++i) {
        context.scope.slots[function.params[i]] = static_cast<std::uint32_t>(i);
    }
    context.next_slot = static_cast<std::uint32_t>(function.params.size());
    if (function.first_line <= function.last_line) {
        try {
            compile_block(context, function.first_line, function.last_line,
                          lines[function.first_line].level - 1);
        } catch (Failure& failure) {
            failure.report_file = function.path;
            throw;
        }
    }
    // running off the end returns 0
    context.emit(Opcode::push_int, 0, 1);
    context.emit(Opcode::ret, 0, 1);
    finish_chunk(context, function.first_line - 1);
}

void compile_top_level(Program& program, const LineList& lines, const BlockEnds& ends,
                       std::vector<Instruction>& code, CompileObserver* observer) {
    Chunk top;
    top.name = top_chunk_name;
    std::size_t index = add_chunk(program, std::move(top));
    CompileContext context{lines, ends, program, index, code, {}, 0, observer};
    if (!lines.empty())
        compile_block(context, 0, lines.size() - 1, -1);
    context.emit(Opcode::halt, 0, 1);
    finish_chunk(context, lines.size());
}

}  // namespace

BlockEnds find_block_ends(const LineList& lines) {
    // Walking backwards, the stack holds the lines after i that no later line
    // at their level or shallower hides; the first one not deeper than line
    // i ends its nested block.
    BlockEnds ends(lines.size());
    std::vector<std::uint32_t> later;
    for (std::size_t i = lines.size(); i-- > 0;) {
        while (!later.empty() && lines[later.back()].level > lines[i].level)
            later.pop_back();
        std::size_t next = later.empty() ? lines.size() : later.back();
        ends[i] = static_cast<std::uint32_t>(next - 1);
        later.push_back(static_cast<std::uint32_t>(i));
    }
    return ends;
}

Program compile_program(std::string main_text, std::string_view main_path, CompileObserver* observer) {
    Program program;
    std::string_view path = keep_text(program, std::string(main_path));
    std::string_view text = keep_text(program, std::move(main_text));
    program.sources.emplace_back(path, text);

    if (observer)
        observer->file_read(path, text);

    LineList lines;
    split_lines(lines, text, path, directory_of(path), false);
    take_in_headers(lines, program, observer);
    BlockEnds ends = find_block_ends(lines);
    if (observer)
        observer->lines_read(lines, ends);

    std::vector<PendingFunction> functions = find_functions(program, lines);
    std::vector<Instruction> code;
    for (const PendingFunction& function : functions)
        compile_body(program, lines, ends, code, function, observer);
    compile_top_level(program, lines, ends, code, observer);
    return program;
}

}  // namespace oxel
