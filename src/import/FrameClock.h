// SPDX-License-Identifier: MIT
#pragma once

// A point in time counted in output frames, held exactly: whole frames and a
// reduced fraction of a frame. Adding durations in any order gives the same
// time as adding their exact sum, so a chart's clock never drifts however
// many tempo changes and stops it passes, and an event lands on a frame
// boundary exactly when its true time does.
//
// The fraction's numerator and denominator are 128-bit. Should the exact
// denominator of a sum need more (only charts with many unrelated fractional
// tempos get there), both fractions are rounded down to multiples of 2^-64
// frame first; the clock then says it is no longer exact, and its error stays
// below 2^-63 frame per addition. Whole frames saturate far above any event
// time. A value type; not shared between threads.

#include "import/ScoreTime.h"

#include <cstdint>

namespace vellisto::import {

class FrameClock {
public:
    // Adds numerator / denominator frames; denominator must not be 0.
    void add(Uint128 numerator, Uint128 denominator);

    // The whole frame at or before the clock's time.
    std::uint64_t wholeFrames() const { return m_frames; }
    // The fraction of a frame past wholeFrames(), reduced.
    Uint128 fractionNumerator() const { return m_numerator; }
    Uint128 fractionDenominator() const { return m_denominator; }
    // Whether every addition so far was kept exactly.
    bool exact() const { return m_exact; }

    // Event time: the whole frame, held at the edit ceiling.
    std::uint32_t eventTime() const;

private:
    void addWhole(Uint128 frames);
    void addFraction(Uint128 numerator, Uint128 denominator);

    std::uint64_t m_frames = 0;
    Uint128 m_numerator = 0;
    Uint128 m_denominator = 1;
    bool m_exact = true;
};

// The greatest common divisor of two 128-bit numbers (gcd(0, b) is b).
Uint128 Gcd128(Uint128 a, Uint128 b);

} // namespace vellisto::import
