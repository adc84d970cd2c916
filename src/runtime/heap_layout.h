// How the heap lays out its memory, shared by its allocator, its collector
// and its string buffers (heap_*.cpp) and by nothing else: the object header,
// the block header, the size classes and the large-object prefix. Every
// address here belongs to the Heap that handed it out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "runtime/heap.h"

#if defined(__SANITIZE_ADDRESS__)
#define OXEL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OXEL_ASAN 1
#endif
#endif
#ifdef OXEL_ASAN
#include <sanitizer/asan_interface.h>
#define POISON(address, size) ASAN_POISON_MEMORY_REGION((address), (size))
#define UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION((address), (size))
#else
#define POISON(address, size) ((void)(address), (void)(size))
#define UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace oxel {

// Right before an object's bytes or elements.
struct Heap::ObjectHeader {
    std::uint8_t kind;     // free_kind, string_kind or array_kind
    std::uint8_t marked;   // reached by the collection under way
    std::uint8_t cls;      // size class, or large_class
    std::uint8_t growing;  // strings: given room to grow, or grown, since the last collection
    std::uint8_t reserved[4];
    union {
        std::uint64_t used;       // strings: bytes claimed from the start
        ObjectHeader* next_free;  // free cells: the next one of the class
    };
    char* data() { return reinterpret_cast<char*>(this) + sizeof(ObjectHeader); }
};

// At the start of its block_size bytes; the cells follow.
struct Heap::Block {
    std::uint32_t cls;
    std::uint32_t cell_size;
    std::uint32_t cells;       // how many fit
    std::uint32_t handed_out;  // cells bumped so far, from the first
    std::uint32_t live;        // cells held after the last sweep
    char* first_cell() { return reinterpret_cast<char*>(this) + 64; }
    ObjectHeader* cell(std::size_t i) {
        return reinterpret_cast<ObjectHeader*>(first_cell() + i * static_cast<std::size_t>(cell_size));
    }
};

namespace heap_layout {

using ObjectHeader = Heap::ObjectHeader;
using Block = Heap::Block;

static_assert(sizeof(ObjectHeader) == 16);
static_assert(sizeof(Block) <= 64);

inline constexpr std::uint8_t free_kind = 0;
inline constexpr std::uint8_t string_kind = 1;
inline constexpr std::uint8_t array_kind = 2;
inline constexpr std::uint8_t large_class = 255;

inline constexpr std::size_t block_size = 64 * 1024;

// Collect once the bytes allocated since the last collection pass both the
// floor and what survived it (share 1: the heap at most doubles between
// collections).
inline constexpr std::size_t collect_floor = 4 * 1024 * 1024;

// Before a large object's header: its capacity.
struct LargePrefix {
    std::size_t capacity;
    std::size_t reserved;
};
static_assert(sizeof(LargePrefix) == 16);

// Data capacities of the size classes: steps of 16 up to 128, then four
// steps per doubling up to 8 KiB.
inline constexpr std::array<std::uint32_t, 32> class_capacity = {
    16,  32,  48,  64,   80,   96,   112,  128,  160,  192,  224,  256,  320,  384,  448,  512,
    640, 768, 896, 1024, 1280, 1536, 1792, 2048, 2560, 3072, 3584, 4096, 5120, 6144, 7168, 8192};
inline constexpr std::size_t class_count = class_capacity.size();
inline constexpr std::size_t max_small = class_capacity.back();

// The class for a capacity, indexed by (capacity + 15) / 16.
constexpr std::array<std::uint8_t, max_small / 16 + 1> make_class_table() {
    std::array<std::uint8_t, max_small / 16 + 1> table{};
    std::size_t cls = 0;
    for (std::size_t units = 0; units < table.size(); ++units) {
        while (class_capacity[cls] < units * 16)
            ++cls;
        table[units] = static_cast<std::uint8_t>(cls);
    }
    return table;
}
inline constexpr auto class_for_units = make_class_table();

// The class of a small object of `capacity` bytes (at most max_small).
inline std::size_t class_for(std::size_t capacity) { return class_for_units[(capacity + 15) / 16]; }

inline std::size_t large_total(std::size_t capacity) {
    return sizeof(LargePrefix) + sizeof(ObjectHeader) + capacity;
}

inline std::size_t cell_size_of(std::size_t cls) { return sizeof(ObjectHeader) + class_capacity[cls]; }

inline ObjectHeader* header_at(std::uint64_t data_address) {
    return reinterpret_cast<ObjectHeader*>(static_cast<std::uintptr_t>(data_address) - sizeof(ObjectHeader));
}

inline LargePrefix* prefix_of(ObjectHeader* header) { return reinterpret_cast<LargePrefix*>(header) - 1; }
inline const LargePrefix* prefix_of(const ObjectHeader* header) {
    return reinterpret_cast<const LargePrefix*>(header) - 1;
}

inline std::size_t capacity_of(const ObjectHeader* header) {
    return header->cls == large_class ? prefix_of(header)->capacity : class_capacity[header->cls];
}

}  // namespace heap_layout
}  // namespace oxel
