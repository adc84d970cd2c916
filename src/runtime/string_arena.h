// Bytes of strings made during the run (cat, number text, fread, input).
// Nothing is freed one by one: every buffer lives until the arena, owned by
// the machine for the whole run, goes away at the end.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "runtime/allocation_budget.h"

namespace oxel {

class StringArena {
public:
    // A fresh buffer of `size` bytes that stays valid until the arena ends.
    char* allocate(std::size_t size);
    // Copies the bytes into the arena.
    std::string_view keep(std::string_view bytes);

    // For strings that tend to be appended to (cat results): a buffer of
    // `size` bytes; a large one gets spare room behind it for `extend`.
    char* allocate_growable(std::size_t size);
    // When `bytes` is exactly the newest buffer of the small blocks or of
    // the growable ones and `extra` more bytes fit behind it, claims them
    // and returns where they start; else nullptr. Views made earlier keep
    // their own length, so nothing they show changes.
    char* extend(std::string_view bytes, std::size_t extra);

    // Blocks are taken from here when set.
    AllocationBudget* budget = nullptr;

private:
    std::vector<std::unique_ptr<char[]>> blocks_;

    char* new_block(std::size_t size);
    char* free_ = nullptr;       // next free byte of the newest small block
    std::size_t free_left_ = 0;  // bytes left there
    char* newest_ = nullptr;     // start of the last buffer taken from there

    // The newest growable buffer and the room behind it.
    char* grow_newest_ = nullptr;
    char* grow_free_ = nullptr;
    std::size_t grow_left_ = 0;
};

}  // namespace oxel
