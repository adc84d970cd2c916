// Integer division by a constant divisor d >= 2 as a multiply and a shift:
// the quotient truncates toward zero, exactly as x / d, for every x.
#pragma once

#include <cstdint>
#include <optional>

namespace oxel {

#ifdef __SIZEOF_INT128__
inline constexpr bool constant_divisors_available = true;

struct ConstantDivisor {
    std::int64_t multiplier;
    std::int64_t shift;

    // The multiplier and shift for d, found by the usual search for the
    // smallest power of two 2^p with 2^p / d close enough to exact.
    static std::optional<ConstantDivisor> of(std::int64_t d) {
        if (d < 2)
            return std::nullopt;
        const std::uint64_t two63 = std::uint64_t{1} << 63;
        const auto ad = static_cast<std::uint64_t>(d);
        const std::uint64_t anc =
            two63 - 1 - two63 % ad;  // |nc|, the largest multiple of d minus one below 2^63
        std::uint64_t q1 = two63 / anc, r1 = two63 - q1 * anc;
        std::uint64_t q2 = two63 / ad, r2 = two63 - q2 * ad;
        int p = 63;
        std::uint64_t delta = 0;
        do {
            ++p;
            q1 *= 2;
            r1 *= 2;
            if (r1 >= anc) {
                ++q1;
                r1 -= anc;
            }
            q2 *= 2;
            r2 *= 2;
            if (r2 >= ad) {
                ++q2;
                r2 -= ad;
            }
            delta = ad - r2;
        } while (q1 < delta || (q1 == delta && r1 == 0));
        return ConstantDivisor{static_cast<std::int64_t>(q2 + 1), p - 64};
    }

    std::int64_t quotient(std::int64_t x) const { return quotient(x, multiplier, shift); }
    static std::int64_t quotient(std::int64_t x, std::int64_t multiplier, std::int64_t shift) {
        auto q = static_cast<std::int64_t>((static_cast<__int128>(multiplier) * x) >> 64);
        if (multiplier < 0)
            q = static_cast<std::int64_t>(static_cast<std::uint64_t>(q) + static_cast<std::uint64_t>(x));
        q >>= shift;
        return q + static_cast<std::int64_t>(static_cast<std::uint64_t>(x) >> 63);  // toward zero
    }
};
#else
inline constexpr bool constant_divisors_available = false;
#endif

}  // namespace oxel
