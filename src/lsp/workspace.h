// The documents the editor has open and what the server knows of each: the
// findings of its last check and its last analysis that compiled. Positions
// in requests and replies go through here, in the negotiated encoding.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lint/lint.h"
#include "lsp/analysis.h"
#include "lsp/overlay.h"
#include "lsp/text_position.h"

namespace oxel::lsp {

using json = nlohmann::json;

struct Document {
    std::string uri;
    std::string path;
    std::string text;
    std::int64_t version = 0;
    std::vector<lint::Finding> findings;  // of the last check (main files only)
    std::optional<Analysis> analysis;     // the last one made (analysis.h)
    bool analysed = false;                // the analysis is of the current text
    bool checked = false;                 // the findings are of the current text

    bool is_header() const { return path.ends_with(".oxh"); }
};

// A position in an open document, as a byte.
struct Cursor {
    const Document* document;
    std::uint32_t line;  // 1-based
    std::size_t column;  // 1-based byte
};

// A request's position resolved against an analysis: the analysed file
// that is the document, and the cursor.
struct AnalysedCursor {
    const Analysis* analysis;
    std::size_t file;
    Cursor cursor;
};

class Workspace {
public:
    Encoding encoding = Encoding::utf16;
    std::map<std::string, Document> documents;  // by URI

    Document* open(const std::string& uri, std::string text, std::int64_t version);
    Document* change(const std::string& uri, std::string text, std::int64_t version);
    void close(const std::string& uri);
    Document* find(std::string_view uri);
    const Document* find_path(std::string_view path) const;

    // Checks a main file that changed, or whose headers did, with the open
    // documents in place of the files.
    void check(Document& document);
    const Analysis* analysis_of(Document& document);
    // The analysis that knows `document` best, and the document's file in
    // it: its own for a main file; for a header, that of an open main file
    // that takes it in, else its own.
    std::optional<std::pair<const Analysis*, std::size_t>> best_analysis(Document& document);
    // The request's textDocument and position, in its best analysis.
    std::optional<AnalysedCursor> locate(const json& params);
    // The findings of the last checks that are about the document. One in a
    // header that is not open stands on the include line that takes it in
    // (the first line when no line of the document does), its place in
    // front of its message.
    std::vector<lint::Finding> findings_for(const Document& document) const;

    // The URI of a path: that of its open document, else a file: URI.
    std::string uri_of(std::string_view path) const;
    Overlay& overlay() { return overlay_; }


private:
    Overlay overlay_;
    lint::Finding moved_to_include(const Document& document, const lint::Finding& finding) const;
};

// The range of bytes first_column up to end_column (1-based, end
// exclusive) of a line (1-based) of an indexed text.
json range_json(const LineIndex& index, std::uint32_t line, std::size_t first_column, std::size_t end_column,
                Encoding encoding);
json position_json(Position position);

// Ranges and locations of an analysis's places, indexing each file once.
class Places {
public:
    Places(const Workspace& workspace, const Analysis& analysis) : workspace_(workspace), analysis_(analysis) {}
    json range(const Place& place);
    json location(const Place& place);
    // Lines first to last of a file, whole.
    json lines(std::size_t file, std::uint32_t first, std::uint32_t last);
    std::string uri(std::size_t file) const { return workspace_.uri_of(analysis_.files[file].path); }

private:
    const Workspace& workspace_;
    const Analysis& analysis_;
    std::map<std::size_t, LineIndex> indexes_;
    const LineIndex& index(std::size_t file);
};

// Paths compared as the overlay compares them.
bool same_path(std::string_view a, std::string_view b);

}  // namespace oxel::lsp
