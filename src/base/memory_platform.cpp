#include "base/memory_platform.h"

#include <algorithm>
#include <cstring>

namespace oxel::platform {

std::string MemoryBackend::tidy(std::string_view path) {
    if (path.size() >= max_path)
        return {};  // names nothing
    std::vector<std::string_view> steps;
    const bool absolute = !path.empty() && path.front() == '/';
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view step = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (step.empty() || step == ".")
            continue;
        if (step == ".." && !steps.empty() && steps.back() != "..")
            steps.pop_back();
        else
            steps.push_back(step);
    }
    std::string tidied = absolute ? "/" : "";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0)
            tidied += '/';
        tidied += steps[i];
    }
    return tidied;
}

// A folder exists while a file lies in it.
bool MemoryBackend::is_folder(const std::string& prefix) const {
    const auto next = files.lower_bound(prefix);
    return next != files.end() && next->first.starts_with(prefix);
}

bool MemoryBackend::take_room(std::size_t bytes) {
    if (bytes > max_bytes - written_)
        return false;
    written_ += bytes;
    return true;
}

std::optional<std::string> MemoryBackend::read_whole_file(std::string_view path, std::size_t max_file_bytes) {
    const auto found = files.find(tidy(path));
    if (found == files.end() || found->second.size() >= max_file_bytes)
        return std::nullopt;
    return found->second;
}

std::optional<FileIdentity> MemoryBackend::identify_file(std::string_view path) {
    std::string key = tidy(path);
    if (!files.contains(key))
        return std::nullopt;
    const auto [entry, added] = identities_.try_emplace(std::move(key), identities_.size() + 1);
    return FileIdentity{0, entry->second};
}

void MemoryBackend::write_stdout(std::string_view first, std::string_view second) {
    if (take_room(first.size() + second.size())) {
        out += first;
        out += second;
    }
}

void MemoryBackend::write_stderr(std::string_view text) {
    if (take_room(text.size()))
        err += text;
}

std::optional<unsigned char> MemoryBackend::read_stdin_byte() {
    if (input_taken == input.size())
        return std::nullopt;
    return static_cast<unsigned char>(input[input_taken++]);
}

std::optional<FileHandle> MemoryBackend::open_for_reading(std::string_view path) {
    std::string key = tidy(path);
    if (!files.contains(key))
        return std::nullopt;
    open_files_.push_back({std::move(key), 0, false, true});
    return static_cast<FileHandle>(open_files_.size() - 1);
}

std::optional<FileHandle> MemoryBackend::create_for_writing(std::string_view path) {
    std::string key = tidy(path);
    if (key.empty() || key == "/" || is_folder(key + '/'))
        return std::nullopt;
    if (const std::size_t slash = key.rfind('/');
        slash != std::string::npos && slash > 0 && !is_folder(key.substr(0, slash + 1)))
        return std::nullopt;  // no such folder
    files[key].clear();
    open_files_.push_back({std::move(key), 0, true, true});
    return static_cast<FileHandle>(open_files_.size() - 1);
}

MemoryBackend::OpenFile* MemoryBackend::find_open(FileHandle file) {
    if (file < 0 || static_cast<std::size_t>(file) >= open_files_.size())
        return nullptr;
    OpenFile& open = open_files_[static_cast<std::size_t>(file)];
    return open.open ? &open : nullptr;
}

std::optional<std::size_t> MemoryBackend::read_file(FileHandle file, char* buffer, std::size_t count) {
    OpenFile* open = find_open(file);
    if (open == nullptr || open->writing)
        return std::nullopt;
    const std::string& text = files[open->path];
    if (open->offset >= text.size())
        return 0;
    const std::size_t got = std::min(count, text.size() - open->offset);
    std::memcpy(buffer, text.data() + open->offset, got);
    open->offset += got;
    return got;
}

bool MemoryBackend::write_file(FileHandle file, std::string_view bytes) {
    OpenFile* open = find_open(file);
    if (open == nullptr || !open->writing || !take_room(bytes.size()))
        return false;
    std::string& text = files[open->path];
    if (text.size() < open->offset + bytes.size())
        text.resize(open->offset + bytes.size());
    text.replace(open->offset, bytes.size(), bytes);
    open->offset += bytes.size();
    return true;
}

void MemoryBackend::close_file(FileHandle file) {
    if (OpenFile* open = find_open(file))
        open->open = false;
}

std::optional<FileIdentity> MemoryBackend::identify_regular_file(FileHandle file) {
    OpenFile* open = find_open(file);
    if (open == nullptr)
        return std::nullopt;
    const auto [entry, added] = identities_.try_emplace(open->path, identities_.size() + 1);
    return FileIdentity{0, entry->second};
}

void MemoryBackend::give_back(FileHandle file, std::size_t count) {
    if (OpenFile* open = find_open(file))
        open->offset -= std::min(count, open->offset);
}

}  // namespace oxel::platform
