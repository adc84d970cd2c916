// What the tests of platform::expect_allocations look at: whether Linux
// gives huge pages to memory marked for them, and which of the process's
// memory is marked. Whether marked memory then gets huge pages depends on
// how much of the machine's memory is free in 2 MiB pieces, so the tests
// look at the marks.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/platform.h"

namespace oxel::test {

// Huge pages are given to marked memory only ("[madvise]"): with "[always]"
// every large block would get them, and with "[never]" none.
inline bool huge_pages_on_request() {
    const auto setting = platform::read_whole_file("/sys/kernel/mm/transparent_hugepage/enabled", 1000);
    return setting && setting->find("[madvise]") != std::string::npos;
}

// The process's mappings marked for huge pages (flag "hg"), as address
// ranges; none when not known.
inline std::vector<std::pair<std::uintptr_t, std::uintptr_t>> marked_for_huge_pages() {
    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> marked;
    const std::string smaps = platform::read_whole_file("/proc/self/smaps", std::size_t{1} << 26).value_or("");
    std::pair<std::uintptr_t, std::uintptr_t> range{0, 0};
    std::size_t at = 0;
    while (at < smaps.size()) {
        std::size_t end = smaps.find('\n', at);
        if (end == std::string::npos)
            end = smaps.size();
        const std::string line = smaps.substr(at, end - at);
        at = end + 1;
        char* rest = nullptr;
        const std::uintptr_t start = std::strtoull(line.c_str(), &rest, 16);
        if (rest != line.c_str() && *rest == '-') {  // a mapping's first line: start-end perms ...
            range = {start, std::strtoull(rest + 1, nullptr, 16)};
        } else if (line.rfind("VmFlags:", 0) == 0 && (line + " ").find(" hg ") != std::string::npos) {
            marked.push_back(range);
        }
    }
    return marked;
}

// KiB of the process's memory marked for huge pages.
inline std::uint64_t marked_kib() {
    std::uint64_t bytes = 0;
    for (const auto& [start, end] : marked_for_huge_pages())
        bytes += end - start;
    return bytes >> 10;
}

// Whether [address, address + size) lies in memory marked for huge pages.
inline bool marked(const void* address, std::size_t size) {
    const auto first = reinterpret_cast<std::uintptr_t>(address);
    for (const auto& [start, end] : marked_for_huge_pages())
        if (start <= first && first + size <= end)
            return true;
    return false;
}

}  // namespace oxel::test
