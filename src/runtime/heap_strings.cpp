// String buffers: made with room to grow, extended in place while the room
// lasts, and cut to size when a read takes fewer bytes than it asked for.
#include <algorithm>
#include <cstring>

#include "runtime/heap.h"
#include "runtime/heap_layout.h"

namespace oxel {

using namespace heap_layout;

char* Heap::allocate_string(std::size_t size, std::size_t capacity) {
    ObjectHeader* header = allocate_object(std::max(size, capacity), string_kind, true);
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

char* Heap::shrink_fresh(char* buffer, std::size_t size) {
    ObjectHeader* header = header_at(reinterpret_cast<std::uintptr_t>(buffer));
    const std::size_t capacity = capacity_of(header);
    // Kept when a smaller buffer would not save much.
    if (size > max_small ? capacity - size < capacity / 4
                         : capacity <= max_small && class_for(size) == header->cls) {
        header->used = size;
        return buffer;
    }
    char* kept = nullptr;
    if (size > 0) {
        ObjectHeader* smaller = allocate_object(size, string_kind, false);
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

}  // namespace oxel
