// The run's memory for what it makes while it runs: the bytes of strings
// (cat, number text, fread, input) and the elements of arrays (newarr).
// The machine owns one; the runtime's string, array, file and console
// functions allocate from it.
//
// Every object sits behind a 16-byte header. Small objects (up to 8 KiB)
// come from 64 KiB blocks, each block cut into cells of one size class, so
// an allocation is a free-list pop or a bump; larger ones get an allocation
// of their own (heap_blocks.cpp).
//
// Tracing collection (heap_collector.cpp): the heap asks its root scanner
// (the machine) for every Value it may still read, marks the objects those
// reach (strings and arrays refer to nothing further), and releases the
// rest. It runs when the bytes allocated since the last collection pass a
// share of what survived it (with a floor), so its cost stays proportional
// to allocation; a heap without a root scanner never collects on its own.
// Values whose bytes are not the heap's (string constants, source texts) are
// never touched. Values that no root holds yet but that an operation still
// reads after it allocates (the operands of `cat`) are pinned for the
// operation's length (`Heap::Pinned`).
//
// A string buffer that has room to spare and has not grown since the last
// collection is moved by the next one into a buffer sized to what it holds:
// after marking and sweeping, a relocation phase asks the scanner for the
// roots again and points them at the new places. Pinned values never move.
//
// A string buffer remembers how many of its bytes are claimed
// (heap_strings.cpp). A string that ends exactly there can be extended in
// place while room is left: that is how repeated `s = cat s, x` avoids
// copying, for every string being built at once. Shorter views of the same
// buffer keep their own length and never see the new bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/allocation_budget.h"
#include "runtime/value.h"

namespace oxel {

// What a root scanner hands every range of Values to that its owner may
// still read. Each phase of a collection passes its own: marking reads the
// values, relocation rewrites those whose bytes moved.
class RootVisitor {
public:
    // A value may be stale (left in a slot by an earlier call): only what is
    // still an object of the heap counts.
    virtual void visit(Value* first, Value* last) = 0;

protected:
    ~RootVisitor() = default;
};

class Heap {
public:
    // Hands every root range of its owner to `roots`. It must not allocate.
    using RootScanner = void (*)(void* context, RootVisitor& roots);

    // Values the caller reads after an allocation that may collect, though no
    // root holds them: while the scope lives, every collection keeps them and
    // moves none of their bytes. Scopes nest, each on its caller's stack.
    class Pinned {
    public:
        explicit Pinned(Heap& heap, const Value& a, const Value& b = {})
            : heap_(heap), outer_(heap.pinned_), values_{a, b} {
            heap.pinned_ = this;
        }
        ~Pinned() { heap_.pinned_ = outer_; }
        Pinned(const Pinned&) = delete;
        Pinned& operator=(const Pinned&) = delete;

    private:
        friend class Heap;
        Heap& heap_;
        Pinned* outer_;
        Value values_[2];
    };

    Heap();
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    void set_root_scanner(RootScanner scanner, void* context);

    // When set, blocks and large objects are taken from it and given back
    // when released; past it, as when memory runs out (after a collection).
    AllocationBudget* budget = nullptr;

    // A string buffer with room for at least `capacity` bytes, of which the
    // caller fills the first `size` (size <= capacity); the string is
    // Value::heap_string(buffer, size). What the caller reads after this
    // call must be rooted or pinned.
    char* allocate_string(std::size_t size, std::size_t capacity);
    // A Heap string holding a copy of `bytes` (the empty constant when empty).
    Value make_string(std::string_view bytes);
    // For a buffer just made by allocate_string that nothing refers to yet,
    // of which the caller keeps only the first `size` bytes: a buffer sized
    // to them (the same one when it already fits). Never collects.
    char* shrink_fresh(char* buffer, std::size_t size);

    // When the string `s` ends exactly where its buffer's claimed bytes end
    // and `extra` more bytes fit behind them, claims them and returns where
    // they start; nullptr otherwise (constants, shorter views, no room).
    char* extend(const Value& s, std::size_t extra);
    // Whether `s` ends where its buffer's claimed bytes end: a string being
    // built, which deserves room to grow when it has to move.
    bool ends_its_buffer(const Value& s) const;

    // `length` elements, all 0.
    std::int64_t* allocate_array(std::uint64_t length);

    // Marks, releases and relocates now.
    void collect() { collect(true); }

    // Collect at every allocation (the stress mode builds start with it on).
    void set_collect_always(bool on);

    struct Stats {
        std::uint64_t collections = 0;
        std::size_t live_bytes = 0;      // objects held after the last collection
        std::size_t reserved_bytes = 0;  // blocks in use and large objects, now
    };
    Stats stats() const;
    // Objects held now, live or not yet swept (walks the whole heap).
    std::size_t count_objects() const;

    struct Block;
    struct ObjectHeader;

private:
    RootScanner scanner_ = nullptr;
    void* scanner_context_ = nullptr;
    Pinned* pinned_ = nullptr;  // the innermost scope
    bool collect_always_;
    std::size_t allocated_since_ = 0;  // bytes since the last collection
    std::size_t threshold_;            // collect once allocated_since_ passes it
    std::size_t live_bytes_ = 0;
    std::uint64_t collections_ = 0;
    bool collecting_ = false;

    std::vector<Block*> blocks_;  // sorted by address
    std::vector<Block*> spare_;   // empty blocks kept for reuse by any class
    std::vector<ObjectHeader*> large_;
    std::size_t large_bytes_ = 0;
    bool large_sorted_ = true;
    // Per size class: free cells, and the block cells are still bumped from.
    std::vector<ObjectHeader*> free_;
    std::vector<Block*> bump_;

    // The allocator (heap_blocks.cpp).
    ObjectHeader* allocate_object(std::size_t capacity, std::uint8_t kind, bool may_collect);
    ObjectHeader* allocate_cell(std::size_t cls);
    ObjectHeader* allocate_large(std::size_t capacity, std::uint8_t kind, bool may_collect);
    Block* new_block(std::size_t cls);
    void release_block(Block* block);
    void* system_allocate(std::size_t bytes, bool zeroed);
    void system_free(void* memory, std::size_t bytes);
    void free_cell(ObjectHeader* header);
    void free_large(ObjectHeader* header);
    ObjectHeader* find_object(std::uint64_t data_address) const;
    void scribble(char* data, std::size_t size) const;

    // The collector (heap_collector.cpp), in its phases.
    void maybe_collect();
    void collect(bool may_move);
    void mark_phase();
    void mark_value(const Value& v);
    void sweep();
    void relocation_phase();
    std::vector<ObjectHeader*> strings_that_stopped_growing();
    bool is_pinned(const ObjectHeader* header) const;
};

}  // namespace oxel
