// The collector, in three phases: marking what the pinned values and the
// roots reach, sweeping the rest back to the allocator, and relocating
// string buffers that stopped growing, after which the roots are pointed at
// the new places.
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "runtime/heap.h"
#include "runtime/heap_layout.h"

namespace oxel {

using namespace heap_layout;

void Heap::set_root_scanner(RootScanner scanner, void* context) {
    scanner_ = scanner;
    scanner_context_ = context;
}

void Heap::maybe_collect() {
    if (scanner_ == nullptr || collecting_) {
        allocated_since_ = 0;
        return;
    }
    collect(true);
}

void Heap::collect(bool may_move) {
    if (collecting_)
        return;
    collecting_ = true;
    if (!large_sorted_) {
        std::sort(large_.begin(), large_.end());
        large_sorted_ = true;
    }
    mark_phase();
    sweep();
    if (may_move && scanner_ != nullptr)
        relocation_phase();
    ++collections_;
    allocated_since_ = 0;
    threshold_ = std::max(collect_floor, live_bytes_);
    collecting_ = false;
}

// ---- marking

void Heap::mark_phase() {
    for (const Pinned* scope = pinned_; scope != nullptr; scope = scope->outer_)
        for (const Value& v : scope->values_)
            mark_value(v);
    if (scanner_ == nullptr)
        return;
    struct Marking final : RootVisitor {
        Heap& heap;
        explicit Marking(Heap& h) : heap(h) {}
        void visit(Value* first, Value* last) override {
            for (; first != last; ++first)
                heap.mark_value(*first);
        }
    } marking(*this);
    scanner_(scanner_context_, marking);
}

void Heap::mark_value(const Value& v) {
    if (!v.in_heap())
        return;
    if (ObjectHeader* header = find_object(v.payload))
        header->marked = 1;
}

// ---- sweeping

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

// ---- relocation

// Each held string that has not grown since the last collection and would
// fit in a buffer at most three quarters of its own, unless pinned. Every
// other string loses its `growing` mark, to be looked at again next time.
std::vector<Heap::ObjectHeader*> Heap::strings_that_stopped_growing() {
    std::vector<ObjectHeader*> found;
    auto consider = [&](ObjectHeader* header, std::size_t capacity) {
        if (header->kind != string_kind)
            return;
        if (header->growing) {
            header->growing = 0;
            return;
        }
        const std::size_t used = header->used;
        const std::size_t fits = used > max_small ? used : class_capacity[class_for(used)];
        if (fits <= capacity / 4 * 3 && !is_pinned(header))
            found.push_back(header);
    };
    for (Block* block : blocks_)
        if (block->cell_size > 64)  // smaller classes have no room to give back
            for (std::uint32_t i = 0; i < block->handed_out; ++i)
                consider(block->cell(i), class_capacity[block->cls]);
    for (ObjectHeader* header : large_)
        consider(header, prefix_of(header)->capacity);
    return found;
}

bool Heap::is_pinned(const ObjectHeader* header) const {
    const auto data = reinterpret_cast<std::uintptr_t>(header) + sizeof(ObjectHeader);
    for (const Pinned* scope = pinned_; scope != nullptr; scope = scope->outer_)
        for (const Value& v : scope->values_)
            if (v.in_heap() && v.payload == data)
                return true;
    return false;
}

// Buffers that stopped growing get one sized to what they hold; the roots
// are then pointed at the new places and the old buffers released.
void Heap::relocation_phase() {
    const std::vector<ObjectHeader*> candidates = strings_that_stopped_growing();
    if (candidates.empty())
        return;

    // Old and new data address of each buffer moved, sorted by the old.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> moved;
    try {
        for (ObjectHeader* header : candidates) {
            const std::size_t used = header->used;
            ObjectHeader* home = allocate_object(used, string_kind, false);
            home->used = used;
            std::memcpy(home->data(), header->data(), used);
            moved.emplace_back(reinterpret_cast<std::uintptr_t>(header->data()),
                               reinterpret_cast<std::uintptr_t>(home->data()));
        }
    } catch (const std::bad_alloc&) {
        // No room for more new homes: the rest stay where they are.
    }
    std::sort(moved.begin(), moved.end());
    large_sorted_ = false;

    struct Relocation final : RootVisitor {
        const std::vector<std::pair<std::uint64_t, std::uint64_t>>& moved;
        explicit Relocation(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& m) : moved(m) {}
        void visit(Value* first, Value* last) override {
            for (; first != last; ++first) {
                if (!first->in_heap() || !first->is_string())
                    continue;
                auto at = std::lower_bound(moved.begin(), moved.end(),
                                           std::make_pair(first->payload, std::uint64_t{0}));
                if (at != moved.end() && at->first == first->payload)
                    first->payload = at->second;
            }
        }
    } relocation(moved);
    scanner_(scanner_context_, relocation);

    std::size_t released = 0;
    for (const auto& [old_data, new_data] : moved) {
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

}  // namespace oxel
