#include "runtime/heap.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

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

namespace {

using ObjectHeader = Heap::ObjectHeader;
using Block = Heap::Block;

static_assert(sizeof(ObjectHeader) == 16);
static_assert(sizeof(Block) <= 64);

constexpr std::uint8_t free_kind = 0;
constexpr std::uint8_t string_kind = 1;
constexpr std::uint8_t array_kind = 2;
constexpr std::uint8_t large_class = 255;

constexpr std::size_t block_size = 64 * 1024;
constexpr std::size_t spare_blocks = 8;  // empty blocks kept after a sweep
// Collect once the bytes allocated since the last collection pass both the
// floor and what survived it (share 1: the heap at most doubles between
// collections).
constexpr std::size_t collect_floor = 4 * 1024 * 1024;

// Before a large object's header: its capacity.
struct LargePrefix {
    std::size_t capacity;
    std::size_t reserved;
};
static_assert(sizeof(LargePrefix) == 16);

// Data capacities of the size classes: steps of 16 up to 128, then four
// steps per doubling up to 8 KiB.
constexpr std::array<std::uint32_t, 32> class_capacity = {
    16,  32,  48,  64,   80,   96,   112,  128,  160,  192,  224,  256,  320,  384,  448,  512,
    640, 768, 896, 1024, 1280, 1536, 1792, 2048, 2560, 3072, 3584, 4096, 5120, 6144, 7168, 8192};
constexpr std::size_t class_count = class_capacity.size();
constexpr std::size_t max_small = class_capacity.back();

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
constexpr auto class_for_units = make_class_table();

std::size_t large_total(std::size_t capacity) {
    return sizeof(LargePrefix) + sizeof(ObjectHeader) + capacity;
}

std::size_t cell_size_of(std::size_t cls) { return sizeof(ObjectHeader) + class_capacity[cls]; }

ObjectHeader* header_at(std::uint64_t data_address) {
    return reinterpret_cast<ObjectHeader*>(static_cast<std::uintptr_t>(data_address) - sizeof(ObjectHeader));
}

LargePrefix* prefix_of(ObjectHeader* header) { return reinterpret_cast<LargePrefix*>(header) - 1; }
const LargePrefix* prefix_of(const ObjectHeader* header) {
    return reinterpret_cast<const LargePrefix*>(header) - 1;
}

#ifdef OXEL_GC_STRESS
constexpr bool stress_build = true;
#else
constexpr bool stress_build = false;
#endif

}  // namespace

Heap::Heap()
    : collect_always_(stress_build),
      threshold_(collect_floor),
      free_(class_count, nullptr),
      bump_(class_count, nullptr) {}

Heap::~Heap() {
    for (Block* block : blocks_)
        std::free(block);
    for (Block* block : spare_)
        std::free(block);
    for (ObjectHeader* header : large_)
        std::free(prefix_of(header));
}

void Heap::set_root_scanner(RootScanner scanner, void* context) {
    scanner_ = scanner;
    scanner_context_ = context;
}

void Heap::set_collect_always(bool on) { collect_always_ = on; }

std::size_t Heap::capacity_of(const ObjectHeader* header) const {
    return header->cls == large_class ? prefix_of(header)->capacity : class_capacity[header->cls];
}

// ---- allocation

char* Heap::allocate_string(std::size_t size, std::size_t capacity, const Value& keep_a,
                            const Value& keep_b) {
    ObjectHeader* header = allocate_object(std::max(size, capacity), string_kind, keep_a, keep_b, true);
    header->used = size;
    header->growing = capacity > size;
    return header->data();
}

Value Heap::make_string(std::string_view bytes) {
    if (bytes.empty())
        return Value::string({});
    char* buffer = allocate_string(bytes.size(), bytes.size());
    std::memcpy(buffer, bytes.data(), bytes.size());
    return Value::heap_string(buffer, bytes.size());
}

std::int64_t* Heap::allocate_array(std::uint64_t length) {
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(std::int64_t);
    ObjectHeader* header = allocate_object(bytes, array_kind, Value{}, Value{}, true);
    if (header->cls != large_class)  // large ones come zeroed
        std::memset(header->data(), 0, bytes);
    header->used = 0;
    return reinterpret_cast<std::int64_t*>(header->data());
}

ObjectHeader* Heap::allocate_object(std::size_t capacity, std::uint8_t kind, const Value& keep_a,
                                    const Value& keep_b, bool may_collect) {
    if (capacity > max_small)
        return allocate_large(capacity, kind, keep_a, keep_b, may_collect);
    const std::size_t cls = class_for_units[(capacity + 15) / 16];
    const std::size_t cell = cell_size_of(cls);
    if (may_collect && (allocated_since_ + cell > threshold_ || collect_always_))
        maybe_collect(keep_a, keep_b);
    allocated_since_ += cell;
    ObjectHeader* header = free_[cls];
    if (header != nullptr) {
        free_[cls] = header->next_free;
        UNPOISON(header->data(), class_capacity[cls]);
    } else {
        header = allocate_cell(cls, keep_a, keep_b);
    }
    header->kind = kind;
    header->marked = 0;
    header->cls = static_cast<std::uint8_t>(cls);
    header->growing = 0;
    return header;
}

ObjectHeader* Heap::allocate_cell(std::size_t cls, const Value& keep_a, const Value& keep_b) {
    Block* block = bump_[cls];
    if (block == nullptr || block->handed_out == block->cells) {
        block = new_block(cls, keep_a, keep_b);
        bump_[cls] = block;
    }
    ObjectHeader* header = block->cell(block->handed_out++);
    UNPOISON(header, block->cell_size);
    return header;
}

Heap::Block* Heap::new_block(std::size_t cls, const Value& keep_a, const Value& keep_b) {
    Block* block;
    if (!spare_.empty()) {
        block = spare_.back();
        spare_.pop_back();
    } else {
        void* memory = system_allocate(block_size, false);
        if (memory == nullptr && scanner_ != nullptr && !collecting_) {
            collect(keep_a, keep_b, false);
            memory = system_allocate(block_size, false);
        }
        if (memory == nullptr)
            throw std::bad_alloc();
        block = static_cast<Block*>(memory);
    }
    block->cls = static_cast<std::uint32_t>(cls);
    block->cell_size = static_cast<std::uint32_t>(cell_size_of(cls));
    block->cells = static_cast<std::uint32_t>((block_size - 64) / block->cell_size);
    block->handed_out = 0;
    block->live = 0;
    POISON(block->first_cell(), block_size - 64);
    blocks_.insert(std::upper_bound(blocks_.begin(), blocks_.end(), block), block);
    return block;
}

ObjectHeader* Heap::allocate_large(std::size_t capacity, std::uint8_t kind, const Value& keep_a,
                                   const Value& keep_b, bool may_collect) {
    const std::size_t total = large_total(capacity);
    if (total < capacity)
        throw std::bad_alloc();
    if (may_collect && (allocated_since_ + capacity > threshold_ || collect_always_))
        maybe_collect(keep_a, keep_b);
    // Arrays come zeroed; calloc can take fresh pages without writing them.
    auto get = [&] { return system_allocate(total, kind == array_kind); };
    void* memory = get();
    if (memory == nullptr && may_collect && scanner_ != nullptr && !collecting_) {
        collect(keep_a, keep_b, false);
        memory = get();
    }
    if (memory == nullptr)
        throw std::bad_alloc();
    try {
        large_.push_back(nullptr);
    } catch (const std::bad_alloc&) {
        system_free(memory, total);
        throw;
    }
    auto* prefix = static_cast<LargePrefix*>(memory);
    prefix->capacity = capacity;
    auto* header = reinterpret_cast<ObjectHeader*>(prefix + 1);
    header->kind = kind;
    header->marked = 0;
    header->cls = large_class;
    header->growing = 0;
    large_.back() = header;
    if (large_.size() > 1 && large_[large_.size() - 2] > header)
        large_sorted_ = false;
    allocated_since_ += capacity;
    large_bytes_ += capacity;
    return header;
}

char* Heap::shrink_fresh(char* buffer, std::size_t size) {
    ObjectHeader* header = header_at(reinterpret_cast<std::uintptr_t>(buffer));
    const std::size_t capacity = capacity_of(header);
    // Kept when a smaller buffer would not save much.
    if (size > max_small ? capacity - size < capacity / 4
                         : capacity <= max_small && class_for_units[(size + 15) / 16] == header->cls) {
        header->used = size;
        return buffer;
    }
    char* kept = nullptr;
    if (size > 0) {
        ObjectHeader* smaller = allocate_object(size, string_kind, Value{}, Value{}, false);
        smaller->used = size;
        smaller->growing = 0;
        kept = smaller->data();
        std::memcpy(kept, buffer, size);
    }
    if (header->cls == large_class) {
        free_large(header);
    } else {
        allocated_since_ -= std::min(allocated_since_, cell_size_of(header->cls));
        free_cell(header);
    }
    return kept;
}

// ---- in-place append

char* Heap::extend(const Value& s, std::size_t extra) {
    if (!s.in_heap())
        return nullptr;
    ObjectHeader* header = header_at(s.payload);
    const std::size_t size = s.as_string().size();
    if (header->used != size || extra > capacity_of(header) - size)
        return nullptr;
    header->used = size + extra;
    header->growing = 1;
    return header->data() + size;
}

bool Heap::ends_its_buffer(const Value& s) const {
    return s.in_heap() && header_at(s.payload)->used == s.as_string().size();
}

// ---- release

void Heap::free_cell(ObjectHeader* header) {
    header->kind = free_kind;
    header->marked = 0;
    POISON(header->data(), class_capacity[header->cls]);
    // Collecting at every allocation (the stress mode) never hands a freed
    // cell out again, so a value that still reaches one is found by
    // AddressSanitizer, not read as a newer object.
    if (!collect_always_) {
        header->next_free = free_[header->cls];
        free_[header->cls] = header;
    }
}

void Heap::free_large(ObjectHeader* header) {
    auto at = std::find(large_.rbegin(), large_.rend(), header);
    if (at != large_.rend())
        large_.erase(std::next(at).base());
    large_bytes_ -= prefix_of(header)->capacity;
    system_free(prefix_of(header), large_total(prefix_of(header)->capacity));
}

void Heap::release_block(Block* block) {
    blocks_.erase(std::lower_bound(blocks_.begin(), blocks_.end(), block));
    if (bump_[block->cls] == block)
        bump_[block->cls] = nullptr;
    if (spare_.size() < spare_blocks && !collect_always_) {
        spare_.push_back(block);
    } else {
        system_free(block, block_size);
    }
}

// Memory from the system, taken from the budget when there is one; nullptr
// when either has none left.
void* Heap::system_allocate(std::size_t bytes, bool zeroed) {
    if (budget != nullptr) {
        if (bytes > budget->left)
            return nullptr;
        budget->left -= bytes;
    }
    void* memory = zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
    if (memory == nullptr && budget != nullptr)
        budget->left += bytes;
    return memory;
}

void Heap::system_free(void* memory, std::size_t bytes) {
    if (budget != nullptr)
        budget->left += bytes;
    std::free(memory);
}

// ---- collection

// In the stress mode, released bytes are overwritten, so a string still
// read after its release shows it even without AddressSanitizer.
void Heap::scribble(char* data, std::size_t size) const {
    if (collect_always_)
        std::memset(data, 0xdb, size);
}

void Heap::maybe_collect(const Value& keep_a, const Value& keep_b) {
    if (scanner_ == nullptr || collecting_) {
        allocated_since_ = 0;
        return;
    }
    collect(keep_a, keep_b);
}

void Heap::collect(const Value& keep_a, const Value& keep_b, bool may_move) {
    if (collecting_)
        return;
    collecting_ = true;
    if (!large_sorted_) {
        std::sort(large_.begin(), large_.end());
        large_sorted_ = true;
    }
    mark_root(keep_a);
    mark_root(keep_b);
    if (scanner_ != nullptr)
        scanner_(scanner_context_, *this);
    sweep();
    if (may_move && scanner_ != nullptr)
        trim(keep_a, keep_b);
    ++collections_;
    allocated_since_ = 0;
    threshold_ = std::max(collect_floor, live_bytes_);
    collecting_ = false;
}

void Heap::mark_root(const Value& v) {
    if (v.in_heap())
        mark_object(v.payload);
}

void Heap::mark_object(std::uint64_t data_address) {
    if (ObjectHeader* header = find_object(data_address))
        header->marked = 1;
}

// The object whose bytes start at `data_address`, if this heap holds one
// there now; nullptr for anything else (a stale value's freed object).
ObjectHeader* Heap::find_object(std::uint64_t data_address) const {
    const auto address = static_cast<std::uintptr_t>(data_address) - sizeof(ObjectHeader);
    auto* wanted = reinterpret_cast<Block*>(address);
    auto after = std::upper_bound(blocks_.begin(), blocks_.end(), wanted);
    if (after != blocks_.begin()) {
        Block* block = *(after - 1);
        const auto first = reinterpret_cast<std::uintptr_t>(block->first_cell());
        const std::uintptr_t end = first + static_cast<std::uintptr_t>(block->handed_out) * block->cell_size;
        if (address >= first && address < end) {
            if ((address - first) % block->cell_size != 0)
                return nullptr;
            auto* header = reinterpret_cast<ObjectHeader*>(address);
            return header->kind == free_kind ? nullptr : header;
        }
        if (address < reinterpret_cast<std::uintptr_t>(block) + block_size)
            return nullptr;
    }
    auto* header = reinterpret_cast<ObjectHeader*>(address);
    if (std::binary_search(large_.begin(), large_.end(), header))
        return header;
    return nullptr;
}

void Heap::sweep() {
    std::size_t live = 0;
    std::fill(free_.begin(), free_.end(), nullptr);
    std::vector<Block*> empty;
    for (Block* block : blocks_) {
        std::uint32_t held = 0;
        for (std::uint32_t i = 0; i < block->handed_out; ++i) {
            ObjectHeader* header = block->cell(i);
            if (header->kind == free_kind)
                continue;
            if (header->marked) {
                header->marked = 0;
                ++held;
            } else {
                header->kind = free_kind;
                scribble(header->data(), class_capacity[block->cls]);
                POISON(header->data(), class_capacity[block->cls]);
            }
        }
        block->live = held;
        live += static_cast<std::size_t>(held) * block->cell_size;
        if (held == 0) {
            empty.push_back(block);
            continue;
        }
        if (collect_always_)
            continue;
        // Free cells go onto the class's list from the block's end, so the
        // list hands them out in address order.
        for (std::uint32_t i = block->handed_out; i-- > 0;) {
            ObjectHeader* header = block->cell(i);
            if (header->kind == free_kind) {
                header->next_free = free_[block->cls];
                free_[block->cls] = header;
            }
        }
    }
    for (Block* block : empty)
        release_block(block);

    std::size_t kept = 0;
    for (ObjectHeader* header : large_) {
        if (header->marked) {
            header->marked = 0;
            live += prefix_of(header)->capacity;
            large_[kept++] = header;
        } else {
            large_bytes_ -= prefix_of(header)->capacity;
            scribble(header->data(), prefix_of(header)->capacity);
            system_free(prefix_of(header), large_total(prefix_of(header)->capacity));
        }
    }
    large_.resize(kept);
    live_bytes_ = live;
}

// Buffers that stopped growing get one sized to what they hold: each held
// string that has not grown since the last collection and would fit in a
// buffer at most three quarters of its own moves there, except those the
// caller of the allocation still reads. Every other string loses its
// `growing` mark, to be looked at again next time.
void Heap::trim(const Value& keep_a, const Value& keep_b) {
    const std::uint64_t pinned_a = keep_a.in_heap() ? keep_a.payload : 0;
    const std::uint64_t pinned_b = keep_b.in_heap() ? keep_b.payload : 0;
    std::vector<ObjectHeader*> candidates;
    auto consider = [&](ObjectHeader* header, std::size_t capacity) {
        if (header->kind != string_kind)
            return;
        if (header->growing) {
            header->growing = 0;
            return;
        }
        const std::size_t used = header->used;
        const std::size_t fits = used > max_small ? used : class_capacity[class_for_units[(used + 15) / 16]];
        const auto data = reinterpret_cast<std::uintptr_t>(header->data());
        if (fits <= capacity / 4 * 3 && data != pinned_a && data != pinned_b)
            candidates.push_back(header);
    };
    for (Block* block : blocks_)
        if (block->cell_size > 64)  // smaller classes have no room to give back
            for (std::uint32_t i = 0; i < block->handed_out; ++i)
                consider(block->cell(i), class_capacity[block->cls]);
    for (ObjectHeader* header : large_)
        consider(header, prefix_of(header)->capacity);
    if (candidates.empty())
        return;

    moved_.clear();
    try {
        for (ObjectHeader* header : candidates) {
            const std::size_t used = header->used;
            ObjectHeader* home = allocate_object(used, string_kind, Value{}, Value{}, false);
            home->used = used;
            std::memcpy(home->data(), header->data(), used);
            moved_.emplace_back(reinterpret_cast<std::uintptr_t>(header->data()),
                                reinterpret_cast<std::uintptr_t>(home->data()));
        }
    } catch (const std::bad_alloc&) {
        // No room for more new homes: the rest stay where they are.
    }
    std::sort(moved_.begin(), moved_.end());
    large_sorted_ = false;
    moving_ = true;
    scanner_(scanner_context_, *this);
    moving_ = false;
    std::size_t released = 0;
    for (const auto& [old_data, new_data] : moved_) {
        ObjectHeader* header = header_at(old_data);
        const std::size_t capacity = capacity_of(header);
        released += capacity - std::min(capacity, static_cast<std::size_t>(header_at(new_data)->used));
        scribble(header->data(), capacity);
        if (header->cls == large_class)
            free_large(header);
        else
            free_cell(header);
    }
    live_bytes_ -= std::min(live_bytes_, released);
    allocated_since_ = 0;
}

void Heap::point_to_moved(Value* first, Value* last) {
    for (; first != last; ++first) {
        if (!first->in_heap() || !first->is_string())
            continue;
        auto at =
            std::lower_bound(moved_.begin(), moved_.end(), std::make_pair(first->payload, std::uint64_t{0}));
        if (at != moved_.end() && at->first == first->payload)
            first->payload = at->second;
    }
}

Heap::Stats Heap::stats() const {
    Stats s;
    s.collections = collections_;
    s.live_bytes = live_bytes_;
    s.reserved_bytes = blocks_.size() * block_size + large_bytes_;
    return s;
}

std::size_t Heap::count_objects() const {
    std::size_t objects = large_.size();
    for (Block* block : blocks_)
        for (std::uint32_t i = 0; i < block->handed_out; ++i)
            if (block->cell(i)->kind != free_kind)
                ++objects;
    return objects;
}

}  // namespace oxel
