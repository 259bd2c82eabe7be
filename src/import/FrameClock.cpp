// SPDX-License-Identifier: MIT
#include "import/FrameClock.h"

#include <algorithm>

namespace vellisto::import {

namespace {

    // Whole frames stop here: far past the edit ceiling, and far from wrapping.
    constexpr std::uint64_t kFramesCeiling = std::uint64_t { 1 } << 62;

    constexpr Uint128 kTwoTo64 = Uint128 { 1 } << 64;

    // floor(numerator x 2^64 / denominator) for numerator < denominator, by
    // long division one bit at a time: the shifted remainder may need a 129th
    // bit, which the test of the top bit stands in for.
    Uint128 ScaleTo64(Uint128 numerator, Uint128 denominator)
    {
        Uint128 remainder = numerator;
        Uint128 quotient = 0;
        for (int bit = 0; bit < 64; ++bit) {
            const bool carry = (remainder >> 127) != 0;
            remainder <<= 1;
            quotient <<= 1;
            if (carry || remainder >= denominator) {
                remainder
                    -= denominator; // exact modulo 2^128: the true difference is below denominator
                quotient |= 1;
            }
        }
        return quotient;
    }

} // namespace

Uint128 Gcd128(Uint128 a, Uint128 b)
{
    while (b != 0) {
        const Uint128 r = a % b;
        a = b;
        b = r;
    }
    return a;
}

void FrameClock::addWhole(Uint128 frames)
{
    const Uint128 sum = m_frames + std::min<Uint128>(frames, kFramesCeiling);
    m_frames = static_cast<std::uint64_t>(std::min<Uint128>(sum, kFramesCeiling));
}

void FrameClock::add(Uint128 numerator, Uint128 denominator)
{
    addWhole(numerator / denominator);
    const Uint128 rest = numerator % denominator;
    if (rest != 0)
        addFraction(rest, denominator);
}

void FrameClock::addFraction(Uint128 numerator, Uint128 denominator)
{
    // numerator < denominator, and m_numerator < m_denominator.
    const Uint128 g = Gcd128(m_denominator, denominator);
    const Uint128 ownScale = denominator / g;
    const Uint128 addedScale = m_denominator / g;
    Uint128 common = 0;
    Uint128 sum = 0;
    if (!__builtin_mul_overflow(m_denominator, ownScale, &common)
        && !__builtin_add_overflow(m_numerator * ownScale, numerator * addedScale, &sum)) {
        // Both products are below common, which did not overflow.
        if (sum >= common) {
            sum -= common;
            addWhole(1);
        }
    } else {
        // Too fine to hold exactly: both fractions to 2^64ths, rounded down.
        m_exact = false;
        sum = ScaleTo64(m_numerator, m_denominator) + ScaleTo64(numerator, denominator);
        common = kTwoTo64;
        if (sum >= common) {
            sum -= common;
            addWhole(1);
        }
    }
    const Uint128 reduce = Gcd128(sum, common);
    m_numerator = sum / reduce;
    m_denominator = common / reduce;
}

std::uint32_t FrameClock::eventTime() const
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(m_frames, kMaxEditTime));
}

} // namespace vellisto::import
