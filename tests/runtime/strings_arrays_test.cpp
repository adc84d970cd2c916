#include "runtime/strings_arrays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime_test_support.h"

namespace oxel {
namespace {

using namespace oxel::test;
using namespace std::literals;

TEST(Strings, LengthByteAndOrder) {
    Heap heap;
    const Value five = new_array(heap, 5, 1);
    const std::pair<Value, std::string> lengths[] = {
        {S(""), "int 0"},
        {S("a\0b"sv), "int 3"},
        {five, "int 5"},
        {I(3), "error len needs a string or array @6"},
        {F(3.0), "error len needs a string or array @6"},
    };
    for (const auto& [value, expected] : lengths) {
        const Value v = value;  // lambdas cannot capture bindings everywhere yet
        EXPECT_EQ(outcome_of([&] { return I(length_of(v, 6)); }), expected) << describe(v);
    }

    struct ByteCase {
        Value s;
        std::int64_t index;
        std::string expected;
    };
    const ByteCase bytes[] = {
        {S("Abc"), 0, "int 65"},
        {S("\xe9"), 0, "int 233"},
        {S("hello"), 4, "int 111"},
        {S("hello"), -1, "error Index -1 out of bounds (len 5) @6"},
        {S("hello"), 5, "error Index 5 out of bounds (len 5) @6"},
        {S(""), 0, "error Index 0 out of bounds (len 0) @6"},
        {S("hello"), INT64_MIN, "error Index -9223372036854775808 out of bounds (len 5) @6"},
        {I(65), 0, "error char needs a string @6"},
        {five, 0, "error char needs a string @6"},
    };
    for (const ByteCase& c : bytes) {
        EXPECT_EQ(outcome_of([&] { return I(byte_at(c.s, c.index, 6)); }), c.expected)
            << describe(c.s) << " at " << c.index;
    }

    struct OrderCase {
        Value x;
        Value y;
        std::string expected;
    };
    const OrderCase orders[] = {
        {S("abc"), S("abc"), "int 0"},
        {S("abc"), S("ab"), "int 1"},
        {S("ab"), S("abc"), "int -1"},
        {S(""), S("a"), "int -1"},
        {S("\x80"), S("a"), "int 1"},
        {I(1), I(2), "error cmp needs two strings @6"},
        {S("a"), I(1), "error cmp needs two strings @6"},
        {five, S("a"), "error cmp needs two strings @6"},
    };
    for (const OrderCase& c : orders) {
        EXPECT_EQ(outcome_of([&] { return I(compare_strings(c.x, c.y, 6)); }), c.expected)
            << describe(c.x) << " cmp " << describe(c.y);
    }
}

TEST(Strings, Concatenate) {
    Heap heap;
    const Value array = Arr();
    struct Case {
        Value x;
        Value y;
        std::string expected;
    };
    const Case cases[] = {
        {I(1), I(2), "string 12"},
        {S("x"), F(0.5), "string x0.5"},
        {I(INT64_MIN), S(""), "string -9223372036854775808"},
        {F(1e21), S("!"), "string 1000000000000000000000!"},
        {F(-0.0), F(2.0), "string -02"},
        {S(""), S(""), "string "},
        {S("a\0"sv), S("\0b"sv), "string a\0\0b"s},
        {array, I(1), "error Cannot stringify array @3"},
        {S("a"), array, "error Cannot stringify array @3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(outcome_of([&] { return concatenate(c.x, c.y, heap, 3); }), c.expected)
            << describe(c.x) << " cat " << describe(c.y);
    }
}

// Appending in place must never change what an older view shows.
TEST(Strings, ConcatenateKeepsOlderViews) {
    Heap heap;
    const Value ab = concatenate(S("a"), S("b"), heap, 1);
    const Value abc = concatenate(ab, S("c"), heap, 1);
    const Value abd = concatenate(ab, S("d"), heap, 1);
    const Value abcabc = concatenate(abc, abc, heap, 1);
    const Value abc7 = concatenate(abc, I(7), heap, 1);
    EXPECT_EQ(ab.as_string(), "ab");
    EXPECT_EQ(abc.as_string(), "abc");
    EXPECT_EQ(abd.as_string(), "abd");
    EXPECT_EQ(abcabc.as_string(), "abcabc");
    EXPECT_EQ(abc7.as_string(), "abc7");
}

// Building strings by 100,000 appends each copies O(n) bytes in all, not
// O(n^2): for one string, and for three built side by side, with other
// strings made between the appends.
TEST(Strings, ConcatenateLoopCopiesLinearly) {
    for (const int count : {1, 3}) {
        Heap heap;
        std::vector<Value> built(count, S(""));
        std::vector<std::string> expected(count);
        std::size_t copied = 0;
        for (int i = 0; i < 100000; ++i) {
            for (int k = 0; k < count; ++k) {
                const Value piece = concatenate(S("-"), I(i % 10), heap, 1);  // a small string of its own
                if (i % 3 == 0)
                    heap.make_string("input line");
                const Value next = concatenate(built[k], piece, heap, 1);
                if (next.as_string().data() != built[k].as_string().data())
                    copied += next.as_string().size();
                built[k] = next;
                expected[k] += '-';
                expected[k] += static_cast<char>('0' + i % 10);
            }
        }
        for (int k = 0; k < count; ++k)
            EXPECT_EQ(built[k].as_string(), expected[k]) << count;
        EXPECT_LT(copied, 4 * count * expected[0].size()) << count;
    }
}

TEST(Arrays, CreateGetSet) {
    Heap heap;
    const std::pair<std::int64_t, std::string> sizes[] = {
        {0, "error Bad array size 0 @8"},
        {-1, "error Bad array size -1 @8"},
        {1000001, "error Bad array size 1000001 @8"},
        {INT64_MIN, "error Bad array size -9223372036854775808 @8"},
        {1, "array of 1"},
        {1000000, "array of 1000000"},
    };
    for (const auto& [size, expected] : sizes) {
        const std::int64_t n = size;
        EXPECT_EQ(outcome_of([&] { return new_array(heap, n, 8); }), expected) << n;
    }
    const Value big = new_array(heap, 1000000, 8);
    EXPECT_EQ(array_get(big, 999999, 8), 0);

    const Value a = new_array(heap, 5, 8);
    const Value copy = a;
    array_set(a, 4, INT64_MIN, 8);
    EXPECT_EQ(array_get(copy, 4, 8), INT64_MIN);
    EXPECT_EQ(array_get(copy, 0, 8), 0);

    struct Case {
        Value array;
        std::int64_t index;
        std::string expected;
    };
    const Case cases[] = {
        {a, -1, "Index -1 out of bounds (len 5) @8"},
        {a, 5, "Index 5 out of bounds (len 5) @8"},
        {I(2), 0, "Not an array @8"},
        {S("abc"), 0, "Not an array @8"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failure_of([&] { array_get(c.array, c.index, 8); }), c.expected) << c.index;
        EXPECT_EQ(failure_of([&] { array_set(c.array, c.index, 1, 8); }), c.expected) << c.index;
    }
}

}  // namespace
}  // namespace oxel
