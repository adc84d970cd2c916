// Compiling with an observer and reading the names off its records.
#include "lsp/analysis.h"

#include "base/error_report.h"
#include "compiler/program_structure.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "lint/recorder.h"

namespace oxel::lsp {

namespace {

struct Read {
    std::size_t scope;
    std::size_t line;  // stored line
    std::size_t column;
    std::string name;
};

// lint's recorder, which places each write, and the place of each read too.
class Observer final : public lint::Recorder {
public:
    std::vector<Read> reads;

    void read(const CompileContext& context, std::string_view name, std::uint32_t number) override {
        Recorder::read(context, name, number);
        if (context.current_line >= lines.size())
            return;
        const lint::Line& line = lines[context.current_line];
        std::string_view compiled = files[line.file].compiled;
        const char* code = compiled.data() + line.code;
        std::size_t column;
        if (name.data() >= code && name.data() + name.size() <= code + line.length) {
            column = static_cast<std::size_t>(name.data() - compiled.data()) - line.start + 1;
        } else {
            // a name the arithmetic form rebuilt without its blanks: its
            // first byte is where the name starts in the code
            std::string_view text(code, line.length);
            std::size_t at = text.find(name.substr(0, 1));
            if (name.empty() || at == std::string_view::npos)
                return;
            column = line.code + at - line.start + 1;
        }
        reads.push_back(Read{context.current_chunk, context.current_line, column, std::string(name)});
    }
};

class Builder {
public:
    Builder(const Observer& recorded, const Program& program) : recorded_(recorded), program_(program) {}

    Analysis build() {
        for (const lint::FileCopy& file : recorded_.files)
            analysis_.files.push_back(FileText{file.path, file.text});
        analysis_.top_scope = program_.chunks.size() - 1;
        for (std::size_t i = 0; i < recorded_.lines.size(); ++i) {
            std::string_view code = code_of(i);
            StatementKind kind = classify_statement(code);
            if (kind == StatementKind::definition && recorded_.lines[i].level == 0)
                define(i, code);
            else if (kind == StatementKind::ignored && code.size() >= 4 && code.ends_with(".oxh"))
                include(i, code);
        }
        for (std::size_t i = 0; i < recorded_.lines.size(); ++i)
            find_call(i, code_of(i));
        for (const auto& [chunk, use] : recorded_.chunks) {
            for (const lint::Write& write : use.writes) {
                bool number_form = classify_statement(code_of(write.line)) == StatementKind::number_assignment;
                analysis_.variables.push_back(VariableUse{write.name, chunk, place(write.line, write.column, write.name.size()),
                                                          write.added, number_form});
            }
        }
        for (const Read& read : recorded_.reads)
            analysis_.variables.push_back(
                VariableUse{read.name, read.scope, place(read.line, read.column, read.name.size()), false, false});
        return std::move(analysis_);
    }

private:
    const Observer& recorded_;
    const Program& program_;
    Analysis analysis_;
    std::size_t definitions_ = 0;

    std::string_view code_of(std::size_t i) const {
        const lint::Line& line = recorded_.lines[i];
        return std::string_view(recorded_.files[line.file].text).substr(line.code, line.length);
    }
    // The place of `part`, a view into the code of stored line i.
    Place place_of(std::size_t i, std::string_view part) const {
        const lint::Line& line = recorded_.lines[i];
        std::size_t offset = static_cast<std::size_t>(part.data() - recorded_.files[line.file].text.data());
        return place(i, offset - line.start + 1, part.size());
    }
    Place place(std::size_t i, std::size_t column, std::size_t length) const {
        const lint::Line& line = recorded_.lines[i];
        return Place{line.file, line.number, static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(length)};
    }

    // `oxelfn name.p1, p2`, matched to its chunk by name (chunks are in
    // definition order, so the k-th definition is chunk k).
    void define(std::size_t i, std::string_view code) {
        std::string_view rest = trim(code.substr(6));
        std::size_t dot = rest.find('.');
        std::string_view name = trim(rest.substr(0, dot));
        std::size_t chunk = definitions_++;
        if (chunk >= analysis_.top_scope || program_.chunks[chunk].name != name)
            return;
        FunctionSymbol function{std::string(name), {}, place_of(i, name), {}, recorded_.lines[i].number, std::string(code),
                                comment_above(i), chunk};
        if (dot != std::string_view::npos) {
            for_each_piece(rest.substr(dot + 1), [&](std::string_view param) {
                if (param.empty())
                    return;
                function.params.emplace_back(param);
                function.param_places.push_back(place_of(i, param));
                // parameters enter the scope without a write the observer sees
                analysis_.variables.push_back(VariableUse{std::string(param), chunk, place_of(i, param), true, false});
            });
        }
        std::size_t last = recorded_.ends[i];
        function.last_line = recorded_.lines[last].number;
        analysis_.functions.push_back(std::move(function));
    }

    std::string comment_above(std::size_t i) const {
        const lint::Line& line = recorded_.lines[i];
        std::string_view text = recorded_.files[line.file].text;
        std::vector<std::string_view> found;
        std::size_t end = line.start;
        while (end > 0) {
            std::size_t feed = end - 1;  // the line feed that ends the line above
            std::size_t start = feed == 0 ? std::string_view::npos : text.rfind('\n', feed - 1);
            start = start == std::string_view::npos ? 0 : start + 1;
            std::string_view above = trim_line(text.substr(start, feed - start));
            if (!is_whole_line_comment(above))
                break;
            found.push_back(trim(above.substr(comment_word.size())));
            end = start;
        }
        std::string comment;
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            comment += *it;
            comment += '\n';
        }
        return comment;
    }

    void include(std::size_t i, std::string_view code) {
        const lint::Line& line = recorded_.lines[i];
        std::string path = resolve_header_path(directory_of(recorded_.files[line.file].path), code);
        analysis_.includes.push_back(Include{place_of(i, code), std::move(path)});
    }

    void find_call(std::size_t i, std::string_view code) {
        std::string_view callee;
        StatementKind kind = classify_statement(code);
        if (kind == StatementKind::call_or_array) {
            callee = trim(code.substr(0, code.find('(')));
        } else if (kind == StatementKind::assignment) {
            std::string_view expression = code.substr(1, code.size() - 2);
            expression = trim(expression.substr(expression.find('.') + 1));
            if (classify_assignment(program_, expression).form != AssignmentForm::call)
                return;
            std::size_t blank = 0;
            while (blank < expression.size() && !is_blank(expression[blank]))
                ++blank;
            callee = expression.substr(0, blank);
        } else {
            return;
        }
        if (auto function = analysis_.function_named(callee))
            analysis_.calls.push_back(Call{*function, place_of(i, callee)});
    }
};

}  // namespace

std::optional<std::size_t> Analysis::scope_at(std::size_t file, std::uint32_t line) const {
    for (const FunctionSymbol& function : functions) {
        if (function.name_place.file == file && function.name_place.line <= line && line <= function.last_line)
            return function.scope;
    }
    if (file == 0)
        return top_scope;
    return std::nullopt;
}

std::optional<std::size_t> Analysis::file_named(std::string_view path) const {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].path == path)
            return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> Analysis::function_named(std::string_view name) const {
    for (std::size_t i = functions.size(); i-- > 0;) {
        if (functions[i].name == name)
            return i;
    }
    return std::nullopt;
}

std::optional<Analysis> analyze(std::string text, std::string_view path) {
    for (int tries = 0; tries <= max_lines_left_out; ++tries) {
        Observer recorded;
        try {
            Program program = compile_program(text, path, &recorded);
            return Builder(recorded, program).build();
        } catch (const Failure& failure) {
            // a line of the main file that does not compile is emptied, its
            // line end kept, so every other line keeps its place
            if ((!failure.where.file.empty() && failure.where.file != path) || failure.where.line == 0)
                return std::nullopt;
            std::string_view line = physical_line(text, failure.where.line);
            if (line.empty() || line.data() < text.data())
                return std::nullopt;
            std::size_t start = static_cast<std::size_t>(line.data() - text.data());
            text.erase(start, line.size());
        }
    }
    return std::nullopt;
}

}  // namespace oxel::lsp
