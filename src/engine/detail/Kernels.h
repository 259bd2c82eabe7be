// SPDX-License-Identifier: MIT
#pragma once

// The four interpolation kernels used while mixing. Each gives the value of a
// voice's sound at its current position (frame index i, 24-bit fraction f),
// one value per output channel; stereo channels share the weights. Nothing is
// clipped here: values beyond the 16-bit range are summed as they are and only
// the final output is clipped.
//
// Taps are read from the sound's samples as they lie, also around a loop: the
// zero guard zones before and after every sample block cover the reach of the
// widest kernel (63 frames before, 64 after, for stereo 16-bit), so no tap is
// bounds-checked.
//
// These are the reference kernels: plain, one tap at a time, in the documented
// order of operations. Faster variants must give identical values.

#include "audio/SincTables.h"
#include "model/Limits.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vellisto::engine {

enum class Kernel {
    kNone, // the sample at or before the position
    kLinear, // 2-point linear, 16-bit phase
    kSincLow, // 16 taps, low-resolution sinc table, 12-bit phase
    kSinc, // 128 taps, high-resolution sinc table, 16-bit phase
};

// Sample of a channel in the frame k frames away from the frame at `frame`.
template <int Channels>
inline std::int32_t Tap(const std::uint8_t* frame, std::ptrdiff_t k, int channel)
{
    std::int16_t sample;
    std::memcpy(&sample, frame + (k * Channels + channel) * 2, sizeof sample);
    return sample;
}

// Windowless sinc over the taps k = -(HalfTaps - 1) .. HalfTaps around the
// frame, phase phi (1..Period-1) of the weight table. Tap k weighs
// d / (Period * k - phi), one truncating division per tap, added for odd k and
// subtracted for even k; the 32-bit sums wrap. The result is sum / 16384,
// truncated toward zero.
template <int Channels, int HalfTaps, std::int32_t Period>
inline void SincValue(
    const std::uint8_t* frame, std::int32_t d, std::int32_t phi, std::int32_t (&out)[Channels])
{
    static_assert((HalfTaps - 1) * Channels * 2 <= static_cast<int>(kGuardBytes));
    static_assert(HalfTaps * Channels * 2 <= static_cast<int>(kGuardBytes));
    std::uint32_t sum[Channels] = {};
    // Taps come in pairs: an odd k (added) followed by an even k + 1 (subtracted).
    for (std::int32_t k = -(HalfTaps - 1); k <= HalfTaps; k += 2) {
        const std::int32_t wOdd = d / (Period * k - phi);
        const std::int32_t wEven = d / (Period * (k + 1) - phi);
        for (int c = 0; c < Channels; ++c) {
            sum[c] += static_cast<std::uint32_t>(wOdd)
                * static_cast<std::uint32_t>(Tap<Channels>(frame, k, c));
            sum[c] -= static_cast<std::uint32_t>(wEven)
                * static_cast<std::uint32_t>(Tap<Channels>(frame, k + 1, c));
        }
    }
    for (int c = 0; c < Channels; ++c)
        out[c] = static_cast<std::int32_t>(sum[c]) / 16384;
}

// The kernel value at frame `index` of `samples`, fraction `fraction`.
template <Kernel K, int Channels>
inline void KernelValue(const std::uint8_t* samples, std::uint32_t index, std::uint32_t fraction,
    std::int32_t (&out)[Channels])
{
    const std::uint8_t* frame = samples + static_cast<std::size_t>(index) * (Channels * 2);
    if constexpr (K == Kernel::kNone) {
        for (int c = 0; c < Channels; ++c)
            out[c] = Tap<Channels>(frame, 0, c);
    } else if constexpr (K == Kernel::kLinear) {
        // The weights add up to 65535 unless the low 8 bits of f are 0; the
        // shift rounds toward minus infinity. Both products fit in 32 bits.
        const auto w1 = static_cast<std::int32_t>(fraction >> 8);
        const auto w0 = static_cast<std::int32_t>((0x1000000u - fraction) >> 8);
        for (int c = 0; c < Channels; ++c)
            out[c] = (Tap<Channels>(frame, 0, c) * w0 + Tap<Channels>(frame, 1, c) * w1) >> 16;
    } else {
        constexpr bool kLow = K == Kernel::kSincLow;
        const auto phi = static_cast<std::int32_t>(fraction >> (kLow ? 12 : 8));
        if (phi == 0) {
            // A whole-frame position (below the phase resolution) is the sample itself.
            for (int c = 0; c < Channels; ++c)
                out[c] = Tap<Channels>(frame, 0, c);
        } else if constexpr (kLow) {
            SincValue<Channels, 8, 4096>(
                frame, audio::LowResSinc(static_cast<std::uint32_t>(phi)), phi, out);
        } else {
            SincValue<Channels, 64, 65536>(
                frame, audio::HighResSinc(static_cast<std::uint32_t>(phi)), phi, out);
        }
    }
}

} // namespace vellisto::engine
