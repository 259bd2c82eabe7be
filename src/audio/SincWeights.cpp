// SPDX-License-Identifier: MIT
#include "audio/SincWeights.h"

#include "audio/SincTables.h"
#include "platform/Memory.h"

#include <atomic>
#include <limits>
#include <memory>
#include <mutex>

namespace vellisto::audio {

namespace {

    struct TableDelete {
        void operator()(std::int16_t* p) const { platform::ReleaseTable(p); }
    };
    using WeightBlock = std::unique_ptr<std::int16_t[], TableDelete>;

    WeightBlock g_lowRes;
    WeightBlock g_highRes;
    WeightBlock g_lowResPaired;
    SincWeightTables g_tables;
    std::once_flag g_built;
    // Set once the tables are complete: later calls (from render loops) read
    // one atomic word and take no lock.
    std::atomic<const SincWeightTables*> g_ready { nullptr };

    WeightBlock Allocate(std::size_t count)
    {
        return WeightBlock(
            static_cast<std::int16_t*>(platform::AllocateTable(count * sizeof(std::int16_t))));
    }

    // Fills the rows of one table; false if a weight did not fit 16 bits.
    // The weight is the truncated quotient d / e of two integers below 2^31.
    // It is formed in double precision: both are exact there, and the
    // rounded quotient (relative error 2^-53, so below 2^-38 for quotients
    // under 2^15) can never reach the next integer, which lies at least
    // 1 / |e| >= 2^-23 away; truncating it therefore gives the integer
    // division's result, and the build vectorises. (A test compares every
    // weight with the integer division.)
    // Row Period - phi is row phi reversed: d is the same (the half period is
    // symmetric), and tap k of it divides by -(Period x (1 - k) - phi), so its
    // signed weight equals that of tap 1 - k of row phi. Rows up to the
    // middle are divided out, the others mirrored.
    template <int Taps, std::int32_t Period, std::int32_t (*Entry)(std::uint32_t)>
    bool Fill(std::int16_t* table)
    {
        constexpr int kFirstTap = 1 - Taps / 2;
        double tapBase[Taps]; // Period x k
        std::int32_t sign[Taps]; // +1 for odd taps, -1 for even ones
        for (int t = 0; t < Taps; ++t) {
            table[t] = 0; // row 0: never read
            tapBase[t] = static_cast<double>(Period) * (kFirstTap + t);
            sign[t] = ((kFirstTap + t) & 1) != 0 ? 1 : -1;
        }
        bool fits = true;
        for (std::int32_t phi = 1; phi <= Period / 2; ++phi) {
            const double d = Entry(static_cast<std::uint32_t>(phi));
            std::int16_t* row = table + std::size_t(phi) * Taps;
            std::int16_t* mirror = table + std::size_t(Period - phi) * Taps;
            std::int32_t weights[Taps];
            for (int t = 0; t < Taps; ++t) // |d / e| < 2^31: the conversion truncates toward zero
                weights[t] = static_cast<std::int32_t>(d / (tapBase[t] - phi)) * sign[t];
            for (int t = 0; t < Taps; ++t) {
                fits = fits && weights[t] >= std::numeric_limits<std::int16_t>::min()
                    && weights[t] <= std::numeric_limits<std::int16_t>::max();
                row[t] = static_cast<std::int16_t>(weights[t]);
            }
            for (int t = 0; t < Taps; ++t)
                mirror[Taps - 1 - t] = row[t];
        }
        return fits;
    }

    void Build()
    {
        BuildSincTables();
        WeightBlock low = Allocate(std::size_t { kLowResSincPeriod } * kLowResTaps);
        WeightBlock high = Allocate(std::size_t { kHighResSincPeriod } * kHighResTaps);
        WeightBlock paired = Allocate(std::size_t { kLowResSincPeriod } * 2 * kLowResTaps);
        if (!low || !high || !paired)
            return;
        if (!Fill<kLowResTaps, kLowResSincPeriod, &LowResSinc>(low.get())
            || !Fill<kHighResTaps, kHighResSincPeriod, &HighResSinc>(high.get()))
            return;
        for (std::size_t phi = 0; phi < kLowResSincPeriod; ++phi) {
            for (int k = 0; k < 2 * kLowResTaps; ++k)
                paired[phi * 2 * kLowResTaps + k] = low[phi * kLowResTaps + PairedLowResTap(k)];
        }
        g_lowRes = std::move(low);
        g_highRes = std::move(high);
        g_lowResPaired = std::move(paired);
        g_tables.lowRes = g_lowRes.get();
        g_tables.highRes = g_highRes.get();
        g_tables.lowResPaired = g_lowResPaired.get();
        g_ready.store(&g_tables, std::memory_order_release);
    }

} // namespace

const SincWeightTables* SincWeights()
{
    if (const SincWeightTables* ready = g_ready.load(std::memory_order_acquire))
        return ready;
    std::call_once(g_built, Build);
    return g_ready.load(std::memory_order_acquire);
}

} // namespace vellisto::audio
