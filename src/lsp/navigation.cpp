// Going from a name to its definition and uses, renaming it, and what the
// pointer rests on.
#include <algorithm>
#include <tuple>

#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "lsp/requests.h"
#include "lsp/uri.h"
#include "lsp/word_help.h"

namespace oxel::lsp {

namespace {

bool holds(const Place& place, std::size_t file, const Cursor& cursor) {
    return place.file == file && place.line == cursor.line && place.column <= cursor.column &&
           cursor.column <= place.column + place.length;
}

// What a cursor is on.
struct Target {
    enum class Kind { none, function, variable, include } kind = Kind::none;
    std::size_t index = 0;  // of the function, the variable use or the include
};

Target target_at(const AnalysedCursor& at) {
    const Analysis& analysis = *at.analysis;
    for (std::size_t i = 0; i < analysis.functions.size(); ++i) {
        if (holds(analysis.functions[i].name_place, at.file, at.cursor))
            return {Target::Kind::function, i};
    }
    for (const Call& call : analysis.calls) {
        if (holds(call.place, at.file, at.cursor))
            return {Target::Kind::function, call.function};
    }
    for (std::size_t i = 0; i < analysis.variables.size(); ++i) {
        if (holds(analysis.variables[i].place, at.file, at.cursor))
            return {Target::Kind::variable, i};
    }
    for (std::size_t i = 0; i < analysis.includes.size(); ++i) {
        if (holds(analysis.includes[i].place, at.file, at.cursor))
            return {Target::Kind::include, i};
    }
    return {};
}

// Every place of the target's name, in file, line and column order: a
// function's definition and calls, or a variable's uses in its scope.
std::vector<Place> places_of(const Analysis& analysis, const Target& target, bool with_declaration) {
    std::vector<Place> places;
    if (target.kind == Target::Kind::function) {
        if (with_declaration)
            places.push_back(analysis.functions[target.index].name_place);
        for (const Call& call : analysis.calls) {
            if (call.function == target.index)
                places.push_back(call.place);
        }
    } else if (target.kind == Target::Kind::variable) {
        const VariableUse& named = analysis.variables[target.index];
        for (const VariableUse& use : analysis.variables) {
            if (use.name == named.name && use.scope == named.scope && (with_declaration || !use.declares))
                places.push_back(use.place);
        }
    }
    const auto key = [](const Place& p) { return std::tuple(p.file, p.line, p.column); };
    std::sort(places.begin(), places.end(), [&](const Place& a, const Place& b) { return key(a) < key(b); });
    places.erase(std::unique(places.begin(), places.end(),
                             [&](const Place& a, const Place& b) { return key(a) == key(b); }),
                 places.end());
    return places;
}

const VariableUse* declaration_of(const Analysis& analysis, const VariableUse& named) {
    for (const VariableUse& use : analysis.variables) {
        if (use.declares && use.name == named.name && use.scope == named.scope)
            return &use;
    }
    return nullptr;
}

// Why a name cannot become `name`, or empty when it can.
std::string refusal(const Analysis& analysis, const Target& target, std::string_view name) {
    if (!is_identifier(name))
        return "'" + std::string(name) + "' is not a name: a letter or '_', then letters, digits and '_'";
    if (is_reserved_name(name))
        return "'" + std::string(name) + "' would be read as a statement or expression word";
    if (target.kind == Target::Kind::function) {
        if (analysis.function_named(name))
            return "A function named '" + std::string(name) + "' exists already";
        for (const VariableUse& use : analysis.variables) {
            if (use.name == name)  // `name(5)` would stop making an array
                return "A variable named '" + std::string(name) + "' exists already";
        }
        return {};
    }
    const VariableUse& named = analysis.variables[target.index];
    for (const VariableUse& use : analysis.variables) {
        if (use.scope != named.scope)
            continue;
        if (use.name == name)
            return "A variable named '" + std::string(name) + "' exists already in this scope";
        if (use.name == named.name && use.number_form && is_digit(name.back()))
            return "'" + std::string(name) + "' ends in a digit, which a line like '" + named.name +
                   "5' would read as part of the number";
    }
    if (analysis.function_named(name))
        return "A function named '" + std::string(name) + "' exists already";
    return {};
}

}  // namespace

json definition(Workspace& workspace, const json& params) {
    auto at = workspace.locate(params);
    if (!at)
        return nullptr;
    const Analysis& analysis = *at->analysis;
    Places places(workspace, analysis);
    Target target = target_at(*at);
    switch (target.kind) {
    case Target::Kind::function:
        return places.location(analysis.functions[target.index].name_place);
    case Target::Kind::variable:
        if (const VariableUse* declared = declaration_of(analysis, analysis.variables[target.index]))
            return places.location(declared->place);
        return nullptr;
    case Target::Kind::include: {
        json start = position_json({0, 0});
        return {{"uri", workspace.uri_of(analysis.includes[target.index].path)},
                {"range", {{"start", start}, {"end", start}}}};
    }
    case Target::Kind::none:
        break;
    }
    return nullptr;
}

json references(Workspace& workspace, const json& params) {
    json found = json::array();
    auto at = workspace.locate(params);
    if (!at)
        return found;
    bool with_declaration = params.contains("context") && params["context"].value("includeDeclaration", false);
    Places places(workspace, *at->analysis);
    for (const Place& place : places_of(*at->analysis, target_at(*at), with_declaration))
        found.push_back(places.location(place));
    return found;
}

json rename(Workspace& workspace, const json& params) {
    std::string name = params.at("newName").get<std::string>();
    auto at = workspace.locate(params);
    if (!at)
        throw RequestError(request_failed, "The program has not compiled yet");
    Target target = target_at(*at);
    if (target.kind != Target::Kind::function && target.kind != Target::Kind::variable)
        throw RequestError(request_failed, "Only a function or a variable can be renamed");
    if (std::string why = refusal(*at->analysis, target, name); !why.empty())
        throw RequestError(request_failed, why);
    Places places(workspace, *at->analysis);
    json changes = json::object();
    for (const Place& place : places_of(*at->analysis, target, true))
        changes[places.uri(place.file)].push_back({{"range", places.range(place)}, {"newText", name}});
    return {{"changes", std::move(changes)}};
}

json hover(Workspace& workspace, const json& params) {
    auto at = workspace.locate(params);
    std::string text;
    if (at) {
        Target target = target_at(*at);
        if (target.kind == Target::Kind::function) {
            const FunctionSymbol& function = at->analysis->functions[target.index];
            text = "```oxel\n" + function.definition + "\n```\n";
            if (!function.comment.empty())
                text += "\n" + function.comment;
        } else if (target.kind != Target::Kind::none) {
            return nullptr;
        }
    }
    if (text.empty()) {
        // a word of the language: the line's statement word, or the word
        // under the pointer
        Document* document = workspace.find(params.at("textDocument").at("uri").get<std::string>());
        if (!document)
            return nullptr;
        const json& position = params.at("position");
        LineIndex index(document->text);
        std::string_view line = index.line(position.at("line").get<std::uint32_t>());
        std::size_t column = bytes_before(line, position.at("character").get<std::uint32_t>(), workspace.encoding);
        std::string_view code = trim(line);
        std::size_t code_start = static_cast<std::size_t>(code.data() - line.data());
        std::string_view word = code.empty() ? std::string_view() : statement_word(classify_statement(code));
        if (word.empty() || column < code_start || column > code_start + word.size()) {
            std::size_t start = column;
            while (start > 0 && is_identifier_start(line[start - 1]))
                --start;
            std::size_t end = column;
            while (end < line.size() && is_identifier_start(line[end]))
                ++end;
            word = line.substr(start, end - start);
        }
        auto help = help_for(word);
        if (!help)
            return nullptr;
        text = *help;
    }
    return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

json document_symbol(Workspace& workspace, const json& params) {
    json symbols = json::array();
    Document* document = workspace.find(params.at("textDocument").at("uri").get<std::string>());
    if (!document)
        return symbols;
    auto best = workspace.best_analysis(*document);
    if (!best)
        return symbols;
    const auto& [analysis, file] = *best;
    Places places(workspace, *analysis);
    constexpr int function_kind = 12;
    constexpr int variable_kind = 13;
    for (const FunctionSymbol& function : analysis->functions) {
        if (function.name_place.file != file)
            continue;
        json children = json::array();
        std::string detail;
        for (std::size_t i = 0; i < function.params.size(); ++i) {
            json range = places.range(function.param_places[i]);
            children.push_back({{"name", function.params[i]},
                                {"kind", variable_kind},
                                {"range", range},
                                {"selectionRange", range}});
            detail += (i ? ", " : "") + function.params[i];
        }
        symbols.push_back({{"name", function.name},
                           {"detail", detail},
                           {"kind", function_kind},
                           {"range", places.lines(file, function.name_place.line, function.last_line)},
                           {"selectionRange", places.range(function.name_place)},
                           {"children", std::move(children)}});
    }
    return symbols;
}

}  // namespace oxel::lsp
