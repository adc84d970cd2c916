// The allocator: size-class cells in blocks, large objects on their own, and
// the memory both take from the system within the budget.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/heap.h"
#include "runtime/heap_layout.h"

namespace oxel {

using namespace heap_layout;

namespace {

constexpr std::size_t spare_blocks = 8;  // empty blocks kept after a sweep

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

void Heap::set_collect_always(bool on) { collect_always_ = on; }

std::int64_t* Heap::allocate_array(std::uint64_t length) {
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(std::int64_t);
    ObjectHeader* header = allocate_object(bytes, array_kind, true);
    if (header->cls != large_class)  // large ones come zeroed
        std::memset(header->data(), 0, bytes);
    header->used = 0;
    return reinterpret_cast<std::int64_t*>(header->data());
}

ObjectHeader* Heap::allocate_object(std::size_t capacity, std::uint8_t kind, bool may_collect) {
    if (capacity > max_small)
        return allocate_large(capacity, kind, may_collect);
    const std::size_t cls = class_for(capacity);
    const std::size_t cell = cell_size_of(cls);
    if (may_collect && (allocated_since_ + cell > threshold_ || collect_always_))
        maybe_collect();
    allocated_since_ += cell;
    ObjectHeader* header = free_[cls];
    if (header != nullptr) {
        free_[cls] = header->next_free;
        UNPOISON(header->data(), class_capacity[cls]);
    } else {
        header = allocate_cell(cls);
    }
    header->kind = kind;
    header->marked = 0;
    header->cls = static_cast<std::uint8_t>(cls);
    header->growing = 0;
    return header;
}

ObjectHeader* Heap::allocate_cell(std::size_t cls) {
    Block* block = bump_[cls];
    if (block == nullptr || block->handed_out == block->cells) {
        block = new_block(cls);
        bump_[cls] = block;
    }
    ObjectHeader* header = block->cell(block->handed_out++);
    UNPOISON(header, block->cell_size);
    return header;
}

Heap::Block* Heap::new_block(std::size_t cls) {
    Block* block;
    if (!spare_.empty()) {
        block = spare_.back();
        spare_.pop_back();
    } else {
        void* memory = system_allocate(block_size, false);
        if (memory == nullptr && scanner_ != nullptr && !collecting_) {
            collect(false);
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

ObjectHeader* Heap::allocate_large(std::size_t capacity, std::uint8_t kind, bool may_collect) {
    const std::size_t total = large_total(capacity);
    if (total < capacity)
        throw std::bad_alloc();
    if (may_collect && (allocated_since_ + capacity > threshold_ || collect_always_))
        maybe_collect();
    // Arrays come zeroed; calloc can take fresh pages without writing them.
    auto get = [&] { return system_allocate(total, kind == array_kind); };
    void* memory = get();
    if (memory == nullptr && may_collect && scanner_ != nullptr && !collecting_) {
        collect(false);
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

// In the stress mode, released bytes are overwritten, so a string still
// read after its release shows it even without AddressSanitizer.
void Heap::scribble(char* data, std::size_t size) const {
    if (collect_always_)
        std::memset(data, 0xdb, size);
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

// ---- lookup

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
