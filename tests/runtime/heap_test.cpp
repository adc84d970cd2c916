#include "runtime/heap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/runtime_test_support.h"
#include "runtime/strings_arrays.h"

namespace oxel {
namespace {

using namespace oxel::test;

// A heap whose roots are the values of a vector, as the machine's frames are.
struct RootedHeap {
    Heap heap;
    std::vector<Value> roots;
    RootedHeap() {
        heap.set_root_scanner(
            [](void* self, RootVisitor& visitor) {
                auto& values = static_cast<RootedHeap*>(self)->roots;
                visitor.visit(values.data(), values.data() + values.size());
            },
            this);
    }
};

// What each root should hold: its string, or its array's elements.
struct Shadow {
    std::string text;
    std::vector<std::int64_t> elements;
};

void expect_holds(const Value& v, const Shadow& shadow, int step) {
    if (v.is_array()) {
        ASSERT_EQ(v.array_length(), shadow.elements.size()) << step;
        EXPECT_EQ(std::memcmp(v.array_elements(), shadow.elements.data(), shadow.elements.size() * 8), 0)
            << step;
    } else {
        ASSERT_EQ(v.as_string(), shadow.text) << step;
    }
}

// Random strings (small and large, built by appends and side by side),
// arrays, dropped and overwritten roots, and collections, against a model of
// what every root holds. A root whose object is released, or whose bytes a
// reused cell or an append overwrites, reads wrong here (and under
// AddressSanitizer, reads freed memory). Once with collections when the
// policy says, once at every allocation.
TEST(Heap, RootsKeepWhatTheyHoldThroughCollections) {
    for (const bool always : {false, true}) {
        RootedHeap rooted;
        rooted.heap.set_collect_always(always);
        std::vector<Shadow> shadows;
        std::mt19937_64 random(always ? 7 : 11);
        auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        const int steps = always ? 3000 : 60000;
        for (int step = 0; step < steps; ++step) {
            const std::size_t choice = pick(100);
            if (rooted.roots.size() < 4 || choice < 30) {
                // A new string from a constant and a number, or a copy of bytes.
                std::string bytes(pick(4) == 0 ? 9000 + pick(20000) : pick(300), 'a' + pick(26));
                const Value v = pick(2)
                                    ? rooted.heap.make_string(bytes)
                                    : concatenate(S("n"), I(static_cast<std::int64_t>(step)), rooted.heap, 1);
                if (!v.is_string() || v.as_string().empty())
                    continue;
                rooted.roots.push_back(v);
                shadows.push_back({std::string(v.as_string()), {}});
            } else if (choice < 70) {
                // Append to a root (in place when it ends its buffer), keeping
                // the older view as a root too now and then.
                const std::size_t i = pick(rooted.roots.size());
                const std::size_t j = pick(rooted.roots.size());
                if (rooted.roots[i].is_array() || rooted.roots[j].is_array() ||
                    shadows[i].text.size() + shadows[j].text.size() > 100000)
                    continue;
                const Value joined = concatenate(rooted.roots[i], rooted.roots[j], rooted.heap, 1);
                Shadow shadow{shadows[i].text + shadows[j].text, {}};
                if (pick(4) == 0) {
                    rooted.roots.push_back(joined);
                    shadows.push_back(shadow);
                } else {
                    rooted.roots[i] = joined;
                    shadows[i] = shadow;
                }
            } else if (choice < 80) {
                const std::uint64_t length = pick(5) == 0 ? 2000 + pick(3000) : 1 + pick(100);
                const Value a = new_array(rooted.heap, static_cast<std::int64_t>(length), 1);
                Shadow shadow{{}, std::vector<std::int64_t>(length, 0)};
                for (int k = 0; k < 3; ++k) {
                    const std::size_t at = pick(length);
                    const auto element = static_cast<std::int64_t>(random());
                    array_set(a, static_cast<std::int64_t>(at), element, 1);
                    shadow.elements[at] = element;
                }
                rooted.roots.push_back(a);
                shadows.push_back(shadow);
            } else if (choice < 97) {
                // Drop a root; its value may stay behind as a stale copy in
                // the last place (as in a slot the machine no longer reads).
                const std::size_t i = pick(rooted.roots.size());
                rooted.roots[i] = rooted.roots.back();
                shadows[i] = shadows.back();
                rooted.roots.pop_back();
                shadows.pop_back();
            } else {
                rooted.heap.collect();
            }
            if (step % 97 == 0 || always) {
                for (std::size_t i = 0; i < rooted.roots.size(); ++i)
                    expect_holds(rooted.roots[i], shadows[i], step);
            }
            // Keep the live set small, as a program's slots do.
            while (rooted.roots.size() > 200) {
                rooted.roots.erase(rooted.roots.begin());
                shadows.erase(shadows.begin());
            }
            if (testing::Test::HasFailure())
                return;
        }
        EXPECT_GT(rooted.heap.stats().collections, 0u);
    }
}

// A root that was left behind in a slot after its object was released is
// ignored by the next collection, whatever was put in that place since.
TEST(Heap, StaleRootsAreIgnored) {
    RootedHeap rooted;
    const Value small = rooted.heap.make_string("small string");
    const Value large = rooted.heap.make_string(std::string(20000, 'x'));
    const Value array = new_array(rooted.heap, 3, 1);
    rooted.heap.collect();  // nothing rooted: all three released
    EXPECT_EQ(rooted.heap.count_objects(), 0u);
    const Value fresh = rooted.heap.make_string("fresh string");  // may reuse small's cell
    rooted.roots = {small, large, array, fresh};
    rooted.heap.collect();
    EXPECT_EQ(rooted.heap.count_objects(), 1u);
    EXPECT_EQ(fresh.as_string(), "fresh string");
}

// What an allocation's caller still reads survives the collection that the
// allocation starts, though no root holds it.
TEST(Heap, HeldValuesSurviveTheirOwnAllocation) {
    RootedHeap rooted;
    rooted.heap.set_collect_always(true);
    const Value x = rooted.heap.make_string(std::string(300, 'x'));
    rooted.roots = {x};
    const Value y = rooted.heap.make_string(std::string(20000, 'y'));
    rooted.roots = {};
    const Value xy = concatenate(x, y, rooted.heap, 1);
    EXPECT_EQ(xy.as_string(), std::string(300, 'x') + std::string(20000, 'y'));
    EXPECT_EQ(rooted.heap.count_objects(), 3u);  // x and y outlived the collection
    rooted.roots = {xy};
    rooted.heap.collect();
    EXPECT_EQ(rooted.heap.count_objects(), 1u);
}

// Pinned values (nested scopes, one of them also rooted) survive collections
// that no root asks for and never move, though each sits in a buffer with
// room to spare that stopped growing: a caller may hold pointers to their
// bytes. Each is released once its scope ends and nothing roots it.
TEST(Heap, PinnedValuesStayAndStayPut) {
    RootedHeap rooted;
    rooted.heap.set_collect_always(false);  // no collection until asked for
    static const std::string tail(100, '.');
    // 200 bytes in a buffer with room for 400: one that relocation would move.
    auto built = [&](char c) {
        return concatenate(rooted.heap.make_string(std::string(100, c)), S(tail), rooted.heap, 1);
    };
    const Value outer_value = built('o');
    {
        const Heap::Pinned outer(rooted.heap, outer_value);
        const Value rooted_value = built('r');
        rooted.roots = {rooted_value};
        const Value inner_value = built('i');
        {
            const Heap::Pinned inner(rooted.heap, inner_value, rooted_value);
            rooted.heap.set_collect_always(true);  // released bytes are overwritten
            rooted.heap.collect();  // they stopped growing
            rooted.heap.collect();  // still stopped: would move
            EXPECT_EQ(rooted.heap.count_objects(), 3u);
            EXPECT_EQ(rooted.roots[0].payload, rooted_value.payload);
            EXPECT_EQ(inner_value.as_string(), std::string(100, 'i') + tail);
        }
        rooted.roots = {};
        rooted.heap.collect();
        EXPECT_EQ(rooted.heap.count_objects(), 1u);
        EXPECT_EQ(outer_value.as_string(), std::string(100, 'o') + tail);
    }
    rooted.heap.collect();
    EXPECT_EQ(rooted.heap.count_objects(), 0u);
}

// The heap stays within a fixed bound while a loop makes far more than that,
// and collects far less often than it allocates.
TEST(Heap, CollectionsFollowAllocation) {
    RootedHeap rooted;
    rooted.heap.set_collect_always(false);
    rooted.roots.resize(2);
    std::size_t most = 0;
    for (int i = 0; i < 400000; ++i) {
        rooted.roots[0] = concatenate(S("abcdefgh"), I(i), rooted.heap, 1);
        if (i % 100 == 0)
            rooted.roots[1] = new_array(rooted.heap, 1000, 1);
        most = std::max(most, rooted.heap.stats().reserved_bytes);
    }
    const Heap::Stats stats = rooted.heap.stats();
    EXPECT_LT(most, 16u << 20);
    EXPECT_GT(stats.collections, 1u);
    EXPECT_LT(stats.collections, 100u);
    EXPECT_EQ(rooted.roots[0].as_string(), "abcdefgh399999");
}

// Two strings built side by side, and a shorter view of one: once they stop
// growing, the next collections but one give them buffers sized to what they
// hold, and every root still reads the same bytes.
TEST(Heap, StringsThatStopGrowingAreSizedToWhatTheyHold) {
    RootedHeap rooted;
    rooted.heap.set_collect_always(false);
    rooted.roots = {S(""), S(""), S("")};
    std::string expected[2];
    for (int i = 0; i < 20000; ++i) {
        for (int k = 0; k < 2; ++k) {
            rooted.roots[k] = concatenate(rooted.roots[k], k ? S("12345678") : S("abcdefgh"), rooted.heap, 1);
            expected[k] += k ? "12345678" : "abcdefgh";
        }
        if (i == 12345)
            rooted.roots[2] = rooted.roots[0];
    }
    const std::size_t held = expected[0].size() + expected[1].size();
    rooted.heap.collect();  // they stopped growing
    rooted.heap.collect();  // still stopped: moved
    EXPECT_LT(rooted.heap.stats().reserved_bytes, held + held / 4 + 3 * 65536);
    EXPECT_EQ(rooted.roots[0].as_string(), expected[0]);
    EXPECT_EQ(rooted.roots[1].as_string(), expected[1]);
    EXPECT_EQ(rooted.roots[2].as_string(), expected[0].substr(0, 12346 * 8));
    // Appending goes on as before.
    rooted.roots[1] = concatenate(rooted.roots[1], I(9), rooted.heap, 1);
    EXPECT_EQ(rooted.roots[1].as_string(), expected[1] + "9");
}

// A buffer that turned out too large gives the rest back.
TEST(Heap, ShrinkKeepsOnlyWhatIsUsed) {
    Heap heap;
    for (const std::size_t kept : {std::size_t{0}, std::size_t{3}, std::size_t{5000}, std::size_t{900000}}) {
        char* buffer = heap.allocate_string(1000000, 1000000);
        std::memset(buffer, 'r', kept);
        char* shrunk = heap.shrink_fresh(buffer, kept);
        EXPECT_LT(heap.stats().reserved_bytes, kept + kept / 4 + 64 * 1024 * 2) << kept;
        if (kept > 0) {
            EXPECT_EQ(std::string(shrunk, kept), std::string(kept, 'r'));
        }
    }
}

}  // namespace
}  // namespace oxel
