// Open documents, their checks and analyses, and positions.
#include "lsp/workspace.h"

#include <new>

#include "base/memory_platform.h"
#include "compiler/program_structure.h"
#include "compiler/text_rules.h"
#include "lsp/uri.h"
#include "runtime/number_text.h"

namespace oxel::lsp {

bool same_path(std::string_view a, std::string_view b) {
    return a == b || platform::MemoryBackend::tidy(a) == platform::MemoryBackend::tidy(b);
}

Document* Workspace::open(const std::string& uri, std::string text, std::int64_t version) {
    Document& document = documents[uri];
    document.uri = uri;
    document.path = path_from_uri(uri);
    document.analysis.reset();
    return change(uri, std::move(text), version);
}

Document* Workspace::change(const std::string& uri, std::string text, std::int64_t version) {
    Document* document = find(uri);
    if (!document)
        return nullptr;
    overlay_.texts[platform::MemoryBackend::tidy(document->path)] = text;
    document->text = std::move(text);
    document->version = version;
    document->analysed = false;
    document->checked = false;
    // a header's change can change every main file that takes it in
    if (document->is_header()) {
        for (auto& [other_uri, other] : documents) {
            other.checked = false;
            other.analysed = false;
        }
    }
    return document;
}

void Workspace::close(const std::string& uri) {
    Document* document = find(uri);
    if (!document)
        return;
    overlay_.texts.erase(platform::MemoryBackend::tidy(document->path));
    bool header = document->is_header();
    documents.erase(uri);
    if (header) {
        for (auto& [other_uri, other] : documents) {
            other.checked = false;
            other.analysed = false;
        }
    }
}

Document* Workspace::find(std::string_view uri) {
    auto found = documents.find(std::string(uri));
    return found == documents.end() ? nullptr : &found->second;
}

const Document* Workspace::find_path(std::string_view path) const {
    for (const auto& [uri, document] : documents) {
        if (same_path(document.path, path))
            return &document;
    }
    return nullptr;
}

void Workspace::check(Document& document) {
    document.checked = true;
    document.findings.clear();
    const auto refuse = [&](std::string message) {
        document.findings.push_back(lint::Finding{lint::Severity::error, document.path, 1, 1, "", std::move(message),
                                                  "", 1});
    };
    if (document.text.size() >= main_file_limit) {
        refuse("Too large to check: a program holds fewer than 10485760 bytes");
        return;
    }
    try {
        OverlayInUse in_use(overlay_);
        document.findings = lint::check_program(document.text, document.path);
    } catch (const std::bad_alloc&) {
        refuse("Out of memory while checking");
    }
}

const Analysis* Workspace::analysis_of(Document& document) {
    if (!document.analysed && document.text.size() < main_file_limit) {
        document.analysed = true;
        OverlayInUse in_use(overlay_);
        if (auto analysis = analyze(document.text, document.path))
            document.analysis = std::move(analysis);
    }
    return document.analysis ? &*document.analysis : nullptr;
}

std::optional<AnalysedCursor> Workspace::locate(const json& params) {
    Document* document = find(params.at("textDocument").at("uri").get<std::string>());
    if (!document)
        return std::nullopt;
    const json& position = params.at("position");
    Position at{position.at("line").get<std::uint32_t>(), position.at("character").get<std::uint32_t>()};
    LineIndex index(document->text);
    std::size_t column = bytes_before(index.line(at.line), at.character, encoding) + 1;
    auto best = best_analysis(*document);
    if (!best)
        return std::nullopt;
    return AnalysedCursor{best->first, best->second, Cursor{document, at.line + 1, column}};
}

std::optional<std::pair<const Analysis*, std::size_t>> Workspace::best_analysis(Document& document) {
    if (document.is_header()) {
        for (auto& [uri, other] : documents) {
            if (other.is_header())
                continue;
            if (const Analysis* analysis = analysis_of(other)) {
                for (std::size_t f = 1; f < analysis->files.size(); ++f) {
                    if (same_path(analysis->files[f].path, document.path))
                        return std::pair{analysis, f};
                }
            }
        }
    }
    if (const Analysis* analysis = analysis_of(document))
        return std::pair{analysis, std::size_t{0}};
    return std::nullopt;
}

std::vector<lint::Finding> Workspace::findings_for(const Document& document) const {
    std::vector<lint::Finding> found;
    const auto seen = [&](const lint::Finding& finding) {
        for (const lint::Finding& other : found) {
            if (other.line == finding.line && other.column == finding.column && other.message == finding.message)
                return true;
        }
        return false;
    };
    for (const auto& [uri, main] : documents) {
        if (main.is_header())
            continue;
        for (const lint::Finding& finding : main.findings) {
            if (same_path(finding.path, document.path)) {
                if (!seen(finding))
                    found.push_back(finding);
            } else if (&main == &document && !find_path(finding.path)) {
                found.push_back(moved_to_include(document, finding));
            }
        }
    }
    return found;
}

lint::Finding Workspace::moved_to_include(const Document& document, const lint::Finding& finding) const {
    lint::Finding moved = finding;
    moved.message = finding.path + ":" + format_integer(finding.line) + ": " + finding.message;
    moved.fix.clear();
    moved.line = 1;
    moved.column = 1;
    moved.last_column = 1;
    LineIndex index(document.text);
    for (std::size_t i = 0; i < index.count(); ++i) {
        std::string_view line = index.line(i);
        std::string_view code = trim_line(line);
        if (code.size() >= 4 && code.ends_with(".oxh") &&
            same_path(resolve_header_path(directory_of(document.path), code), finding.path)) {
            moved.line = static_cast<std::uint32_t>(i + 1);
            moved.column = static_cast<std::uint32_t>(code.data() - line.data() + 1);
            moved.last_column = static_cast<std::uint32_t>(moved.column + code.size() - 1);
            break;
        }
    }
    return moved;
}

std::string Workspace::uri_of(std::string_view path) const {
    if (const Document* document = find_path(path))
        return document->uri;
    return uri_from_path(path);
}

json position_json(Position position) { return {{"line", position.line}, {"character", position.character}}; }

json range_json(const LineIndex& index, std::uint32_t line, std::size_t first_column, std::size_t end_column,
                Encoding encoding) {
    std::uint32_t number = line == 0 ? 0 : line - 1;
    std::string_view text = index.line(number);
    return {{"start", position_json({number, characters_in(text, first_column - 1, encoding)})},
            {"end", position_json({number, characters_in(text, end_column - 1, encoding)})}};
}

json Places::range(const Place& place) {
    return range_json(index(place.file), place.line, place.column, place.column + place.length, workspace_.encoding);
}

const LineIndex& Places::index(std::size_t file) {
    return indexes_.try_emplace(file, analysis_.files[file].text).first->second;
}

json Places::lines(std::size_t file, std::uint32_t first, std::uint32_t last) {
    const LineIndex& text = index(file);
    std::string_view last_text = text.line(last - 1);
    return {{"start", position_json({first - 1, 0})},
            {"end", position_json({last - 1, characters_in(last_text, last_text.size(), workspace_.encoding)})}};
}

json Places::location(const Place& place) { return {{"uri", uri(place.file)}, {"range", range(place)}}; }

}  // namespace oxel::lsp
