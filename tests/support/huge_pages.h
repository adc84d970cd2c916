// What the tests of platform::expect_allocations look at: whether Linux
// gives huge pages to memory marked for them, and how much of the process's
// memory lies in them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/platform.h"

namespace oxel::test {

// Huge pages are given to marked memory only ("[madvise]"): with "[always]"
// every large block would get them, and with "[never]" none.
inline bool huge_pages_on_request() {
    const auto setting = platform::read_whole_file("/sys/kernel/mm/transparent_hugepage/enabled", 1000);
    return setting && setting->find("[madvise]") != std::string::npos;
}

// KiB of the process's anonymous memory in huge pages; 0 when not known.
inline std::uint64_t huge_page_kib() {
    const std::string rollup = platform::read_whole_file("/proc/self/smaps_rollup", 1 << 16).value_or("");
    const std::string field = "AnonHugePages:";
    const std::size_t at = rollup.find(field);
    return at == std::string::npos ? 0 : std::strtoull(rollup.c_str() + at + field.size(), nullptr, 10);
}

}  // namespace oxel::test
