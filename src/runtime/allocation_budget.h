// What a run may still take for strings and arrays, for tests and fuzzers
// that must not let a program take all memory. Taking more than is left
// throws std::bad_alloc, as when memory runs out. oxelc sets none.
#pragma once

#include <cstddef>
#include <new>

namespace oxel {

struct AllocationBudget {
    std::size_t left = 0;
    void take(std::size_t bytes) {
        if (bytes > left)
            throw std::bad_alloc();
        left -= bytes;
    }
};

}  // namespace oxel
