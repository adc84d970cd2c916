#include "runtime/string_arena.h"

#include <cstring>

namespace oxel {

namespace {

constexpr std::size_t small_block_size = 64 * 1024;
// Larger buffers get a block of their own, so a small block is never left
// mostly empty behind them.
constexpr std::size_t own_block_size = 16 * 1024;
// Growable buffers below this size come from the small blocks; from here on
// they get twice their size, so a string built by repeated appends is copied
// O(log n) times and the arena holds at most four times its final size.
constexpr std::size_t growable_min_size = 256;

char empty_buffer[1];

}  // namespace

char* StringArena::new_block(std::size_t size) {
    if (budget != nullptr)
        budget->take(size);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    return blocks_.back().get();
}

char* StringArena::allocate(std::size_t size) {
    if (size == 0)
        return empty_buffer;
    if (size > own_block_size)
        return new_block(size);
    if (size > free_left_) {
        free_ = new_block(small_block_size);
        free_left_ = small_block_size;
    }
    newest_ = free_;
    free_ += size;
    free_left_ -= size;
    return newest_;
}

std::string_view StringArena::keep(std::string_view bytes) {
    if (bytes.empty())
        return {};
    char* buffer = allocate(bytes.size());
    std::memcpy(buffer, bytes.data(), bytes.size());
    return {buffer, bytes.size()};
}

char* StringArena::allocate_growable(std::size_t size) {
    if (size < growable_min_size)
        return allocate(size);
    std::size_t capacity = size * 2;
    grow_newest_ = new_block(capacity);
    grow_free_ = grow_newest_ + size;
    grow_left_ = capacity - size;
    return grow_newest_;
}

char* StringArena::extend(std::string_view bytes, std::size_t extra) {
    if (bytes.empty())
        return nullptr;
    const char* start = bytes.data();
    if (newest_ != nullptr && start == newest_ && start + bytes.size() == free_ && extra <= free_left_) {
        char* room = free_;
        free_ += extra;
        free_left_ -= extra;
        return room;
    }
    if (grow_newest_ != nullptr && start == grow_newest_ && start + bytes.size() == grow_free_ &&
        extra <= grow_left_) {
        char* room = grow_free_;
        grow_free_ += extra;
        grow_left_ -= extra;
        return room;
    }
    return nullptr;
}

}  // namespace oxel
