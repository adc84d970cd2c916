// Division and floored modulo by a constant through a multiply must give
// exactly what the divide instruction gives, for every dividend.
#include "machine/constant_divisor.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "machine/handler_support.h"

namespace oxel {
namespace {

#ifdef __SIZEOF_INT128__
TEST(ConstantDivisor, SameAsTheDivideOnMillionsOfPairs) {
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    std::mt19937_64 random(7);
    std::vector<std::int64_t> divisors;
    for (std::int64_t d = 2; d <= 1500; ++d)
        divisors.push_back(d);
    for (int shift = 1; shift < 63; ++shift) {
        divisors.push_back(std::int64_t{1} << shift);
        divisors.push_back((std::int64_t{1} << shift) + 1);
        divisors.push_back((std::int64_t{1} << shift) - 1 > 1 ? (std::int64_t{1} << shift) - 1 : 3);
    }
    divisors.push_back(max);
    divisors.push_back(max - 1);
    for (int i = 0; i < 1500; ++i)
        divisors.push_back(static_cast<std::int64_t>(random() >> (1 + random() % 62)) | 2);
    std::uint64_t checked = 0;
    for (std::int64_t d : divisors) {
        const auto divisor = ConstantDivisor::of(d);
        ASSERT_TRUE(divisor) << d;
        auto check = [&](std::int64_t x) {
            const std::int64_t q = divisor->quotient(x);
            ASSERT_EQ(q, x / d) << x << " / " << d;
            const std::int64_t r = x - q * d;
            ASSERT_EQ(r < 0 ? r + d : r, handlers::floored_mod(x, d)) << x << " % " << d;
            ++checked;
        };
        for (std::int64_t x :
             {min, min + 1, max, max - 1, std::int64_t{0}, std::int64_t{1}, std::int64_t{-1}, d, -d, d - 1,
              1 - d, handlers::wrapping_add(d, 1), -d - 1, max - max % d, min - min % d})
            check(x);
        for (int i = 0; i < 1000; ++i) {
            const auto bits = random();
            const std::uint64_t small = bits >> (bits % 64);  // dividends of every size and sign
            check(static_cast<std::int64_t>((bits & 1) ? 0 - small : small));
            check(static_cast<std::int64_t>(random()));
        }
    }
    EXPECT_GT(checked, 6'000'000u);
    EXPECT_FALSE(ConstantDivisor::of(1));
    EXPECT_FALSE(ConstantDivisor::of(-3));
}
#endif

}  // namespace
}  // namespace oxel
