// SPDX-License-Identifier: MIT
#include "import/ImportTables.h"

#include <array>
#include <cmath>
#include <mutex>

namespace vellisto::import {

namespace {

    std::array<std::int32_t, kNotePitchEntries> g_notePitch {};
    std::array<std::int32_t, kBendEntries> g_bend {};
    std::once_flag g_built;

    // trunc(2^24 * 2^((i - centre) * step)); the step is a rounded double
    // (1/12, 1/49152) multiplied in, not a division by the step count, and the
    // result is truncated toward zero: stored pitches rely on both.
    template <std::size_t N> void Fill(std::array<std::int32_t, N>& table, int centre, double step)
    {
        for (std::size_t i = 0; i < N; ++i) {
            const double exponent = (static_cast<int>(i) - centre) * step;
            table[i] = static_cast<std::int32_t>(std::trunc(16777216.0 * std::pow(2.0, exponent)));
        }
    }

} // namespace

void BuildImportTables()
{
    std::call_once(g_built, [] {
        Fill(g_notePitch, 69, 1.0 / 12.0);
        Fill(g_bend, 8192, 1.0 / 49152.0);
    });
}

std::span<const std::int32_t, kNotePitchEntries> NotePitchTable() { return g_notePitch; }
std::span<const std::int32_t, kBendEntries> BendTable() { return g_bend; }

} // namespace vellisto::import
