// What may be typed at a position: statement words, functions with their
// arity, the variables of the scope, and on an include line the headers of
// the document's folder, open ones and those the program takes in.
#include <algorithm>
#include <set>

#include "base/platform.h"
#include "compiler/statement_kind.h"
#include "compiler/text_rules.h"
#include "lsp/requests.h"
#include "runtime/number_text.h"

namespace oxel::lsp {

namespace {

// CompletionItemKind
constexpr int function_kind = 3;
constexpr int variable_kind = 6;
constexpr int keyword_kind = 14;
constexpr int file_kind = 17;

// The path of a header relative to the folder of the document, when it lies
// in that folder or below it.
std::optional<std::string> relative_to(std::string_view folder, std::string_view path) {
    if (!path.starts_with(folder))
        return std::nullopt;
    return std::string(path.substr(folder.size()));
}

}  // namespace

json completion(Workspace& workspace, const json& params) {
    json items = json::array();
    Document* document = workspace.find(params.at("textDocument").at("uri").get<std::string>());
    if (!document)
        return items;
    const json& position = params.at("position");
    LineIndex index(document->text);
    std::string_view line = index.line(position.at("line").get<std::uint32_t>());
    std::string_view typed = line.substr(0, bytes_before(line, position.at("character").get<std::uint32_t>(), workspace.encoding));
    typed.remove_prefix(std::min(typed.size(), typed.find_first_not_of(" \t")));
    auto at = workspace.locate(params);

    // an include line being typed: one word with no blank and no parenthesis
    const bool may_be_include = typed.find_first_of(" \t(") == std::string_view::npos;
    if (may_be_include) {
        std::set<std::string> headers;
        std::string_view folder = directory_of(document->path);
        if (document->uri.starts_with("file:")) {
            for (std::string& name : platform::files_ending_in(folder, ".oxh"))
                headers.insert(std::move(name));
        }
        for (const auto& [uri, open] : workspace.documents) {
            if (open.is_header() && &open != document) {
                if (auto name = relative_to(folder, open.path))
                    headers.insert(*name);
            }
        }
        if (at) {
            for (const Include& include : at->analysis->includes) {
                if (auto name = relative_to(folder, include.path))
                    headers.insert(*name);
            }
        }
        for (const std::string& header : headers)
            items.push_back({{"label", header}, {"kind", file_kind}});
    }

    std::set<std::string_view> words;
    for (const StatementWord& row : statement_words) {
        if (words.insert(row.word).second)
            items.push_back({{"label", row.word}, {"kind", keyword_kind}});
    }
    if (!at)
        return items;
    const Analysis& analysis = *at->analysis;
    for (const FunctionSymbol& function : analysis.functions) {
        std::string arity = format_integer(static_cast<std::int64_t>(function.params.size()));
        items.push_back({{"label", function.name},
                         {"kind", function_kind},
                         {"detail", function.definition + "  (" + arity + (function.params.size() == 1 ? " arg)" : " args)")},
                         {"documentation", function.comment}});
    }
    if (auto scope = analysis.scope_at(at->file, at->cursor.line)) {
        std::set<std::string_view> names;
        for (const VariableUse& use : analysis.variables) {
            if (use.scope == *scope && use.declares && names.insert(use.name).second)
                items.push_back({{"label", use.name}, {"kind", variable_kind}});
        }
    }
    return items;
}

}  // namespace oxel::lsp
