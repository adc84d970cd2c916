// Formatting and the certain fixes.
#include <algorithm>

#include "compiler/compile_context.h"  // indent_columns
#include "compiler/program_structure.h"
#include "fmt/format.h"
#include "lsp/requests.h"

namespace oxel::lsp {

namespace {

Document& document_of(Workspace& workspace, const json& params) {
    Document* document = workspace.find(params.at("textDocument").at("uri").get<std::string>());
    if (!document)
        throw RequestError(invalid_params, "The document is not open");
    return *document;
}

json text_edit(json range, std::string text) { return {{"range", std::move(range)}, {"newText", std::move(text)}}; }

}  // namespace

json diagnostic(const LineIndex& index, const lint::Finding& finding, Encoding encoding) {
    json result = {{"range", range_json(index, finding.line, finding.column, finding.last_column + 1, encoding)},
                   {"severity", finding.severity == lint::Severity::error ? 1 : 2},
                   {"source", "oxel-lint"},
                   {"message", finding.message}};
    const std::string& code = finding.severity == lint::Severity::error ? finding.kind : finding.name;
    if (!code.empty())
        result["code"] = code;
    return result;
}

// The whole document as one edit, or none when it is already in layout or
// does not compile.
json formatting(Workspace& workspace, const json& params) {
    Document& document = document_of(workspace, params);
    json edits = json::array();
    if (document.text.size() >= main_file_limit)
        return edits;
    fmt::Checked checked;
    {
        OverlayInUse in_use(workspace.overlay());
        checked = fmt::format_checked(document.text, document.path);
    }
    if (checked.outcome == fmt::Outcome::changed) {
        LineIndex index(document.text);
        json range = {{"start", position_json({0, 0})}, {"end", position_json(index.end(workspace.encoding))}};
        edits.push_back(text_edit(std::move(range), std::move(checked.formatted)));
    }
    return edits;
}

// A finding's certain fix, for each finding in the range that has one; and
// tabs in the range's indentation made spaces, a tab being four columns as
// the compiler counts it.
json code_action(Workspace& workspace, const json& params) {
    Document& document = document_of(workspace, params);
    const json& range = params.at("range");
    std::uint32_t first = range.at("start").at("line").get<std::uint32_t>();
    std::uint32_t last = range.at("end").at("line").get<std::uint32_t>();
    LineIndex index(document.text);
    json actions = json::array();
    for (const lint::Finding& finding : workspace.findings_for(document)) {
        if (finding.fix.empty() || finding.line - 1 < first || finding.line - 1 > last)
            continue;
        json found = diagnostic(index, finding, workspace.encoding);
        json edit = {{"changes", {{document.uri, {text_edit(found["range"], finding.fix)}}}}};
        actions.push_back({{"title", "Change to '" + finding.fix + "'"},
                           {"kind", "quickfix"},
                           {"diagnostics", {found}},
                           {"isPreferred", true},
                           {"edit", std::move(edit)}});
    }
    json edits = json::array();
    for (std::uint32_t i = first; i <= last && i < index.count(); ++i) {
        std::string_view line = index.line(i);
        std::size_t indent = std::min(line.find_first_not_of(" \t"), line.size());
        std::string_view blanks = line.substr(0, indent);
        if (blanks.find('\t') == std::string_view::npos)
            continue;
        std::string spaces;
        for (char c : blanks)
            spaces.append(c == '\t' ? indent_columns : 1, ' ');
        edits.push_back(text_edit(range_json(index, i + 1, 1, indent + 1, workspace.encoding), spaces));
    }
    if (!edits.empty()) {
        actions.push_back({{"title", "Indent with spaces instead of tabs"},
                           {"kind", "quickfix"},
                           {"edit", {{"changes", {{document.uri, std::move(edits)}}}}}});
    }
    return actions;
}

}  // namespace oxel::lsp
