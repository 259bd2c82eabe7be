// SPDX-License-Identifier: MIT
#include "audio/SincTables.h"

#include <array>
#include <cmath>
#include <mutex>
#include <numbers>

namespace vellisto::audio {

namespace {

    std::array<std::int32_t, kLowResSincEntries> g_lowRes {};
    std::array<std::int32_t, kHighResSincEntries> g_highRes {};
    std::once_flag g_built;

    // S = sum over n = first..last of (-1)^n / (n + 0.5), term by term in increasing n.
    double CorrectionSum(int first, int last)
    {
        double sum = 0.0;
        for (int n = first; n <= last; ++n) {
            const double term = 1.0 / (n + 0.5);
            sum += (n % 2 == 0) ? term : -term;
        }
        return sum;
    }

    template <std::size_t N>
    void Fill(std::array<std::int32_t, N>& table, double period, double scale, double sum)
    {
        const double pi = std::numbers::pi;
        const double correction = 1.0 - sum / pi;
        for (std::size_t i = 0; i < N; ++i) {
            const double s = std::sin(pi * (static_cast<double>(i) / period));
            const double value = scale * s / (1.0 - correction * s) + 0.5;
            table[i] = static_cast<std::int32_t>(std::trunc(value));
        }
    }

} // namespace

void BuildSincTables()
{
    std::call_once(g_built, [] {
        const double pi = std::numbers::pi;
        Fill(g_lowRes, kLowResSincPeriod, 67108864.0 / pi, CorrectionSum(-8, 7));
        Fill(g_highRes, kHighResSincPeriod, 1073741824.0 / pi, CorrectionSum(-64, 63));
    });
}

const std::int32_t* LowResSincTable() { return g_lowRes.data(); }
const std::int32_t* HighResSincTable() { return g_highRes.data(); }

} // namespace vellisto::audio
