// The Recorder's side of the compilation: what each observer call keeps.
#include <algorithm>

#include "lint/recorder.h"

namespace oxel::lint {

void Recorder::file_read(std::string_view path, std::string_view text) {
    files.push_back(FileCopy{std::string(path), std::string(text), text});
}

void Recorder::lines_read(const LineList& stored, const BlockEnds& block_ends) {
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

void Recorder::wrote(const CompileContext& context, std::string_view name, bool added) {
    // a chunk's lines are in the file of its definition; the top level's
    // statements are in the main file
    std::string_view path = context.program.chunks[context.current_chunk].file;
    std::size_t file = path.empty() ? 0 : file_named(path);
    const char* begin = files[file].compiled.data();
    if (name.data() < begin || name.data() > begin + files[file].compiled.size())
        return;  // the compiler writes only names it read from the source
    std::size_t offset = static_cast<std::size_t>(name.data() - begin);
    std::size_t line = line_at(file, offset);
    chunk(context).writes.push_back(Write{line, offset - lines[line].start + 1, std::string(name), added});
}

void Recorder::read(const CompileContext& context, std::string_view name, std::uint32_t) {
    chunk(context).reads.emplace(name);
}

// Include paths are unique: a path is included once.
std::size_t Recorder::file_named(std::string_view path) const {
    for (std::size_t f = 0; f < files.size(); ++f) {
        if (files[f].path == path)
            return f;
    }
    return 0;
}

// The stored line holding the offset: the last line of the file that
// starts at or before it (lines of one file are stored in order).
std::size_t Recorder::line_at(std::size_t file, std::size_t offset) const {
    auto after = std::upper_bound(lines.begin(), lines.end(), std::pair{file, offset},
                                  [](const std::pair<std::size_t, std::size_t>& key, const Line& line) {
                                      return key.first < line.file ||
                                             (key.first == line.file && key.second < line.start);
                                  });
    return static_cast<std::size_t>(after - lines.begin()) - 1;
}

}  // namespace oxel::lint
