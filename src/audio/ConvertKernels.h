// SPDX-License-Identifier: MIT
#pragma once

// The converting loops, one instantiation per combination of interpolation,
// input width and channel pair, so that nothing inside a loop depends on the
// format. The sinc sums are a parameter: DividedWeights here is the plain
// reference, one division per tap; the fast loops (ConvertSound.cpp) put the
// same loop around table weights and vector dot products, and must produce
// the same bytes.
//
// Read position: an input frame index and a 24-bit fraction, both starting at
// 0; after each output frame t = fraction + step, index += t >> 24 and
// fraction = t & 0xFFFFFF, so output frame n reads input frame n x step / 2^24.
// The index of every output frame stays below the input frame count; taps and
// the linear neighbour that fall outside the samples (at most 63 frames
// before and 64 after, 256 bytes of stereo 16-bit) read the zero guard zones,
// so the loops have no bounds checks.

#include "audio/ConvertSound.h"
#include "audio/SincTables.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vellisto::audio::convert {

// Samples as stored: 8-bit signed bytes, 16-bit signed little-endian.
template <int Bits> inline std::int32_t LoadSample(const std::uint8_t* p)
{
    if constexpr (Bits == 8)
        return static_cast<std::int8_t>(p[0]);
    else
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

inline void StoreSample16(std::uint8_t* p, std::int32_t value)
{
    const auto bits = static_cast<std::uint16_t>(value); // the low 16 bits
    p[0] = static_cast<std::uint8_t>(bits);
    p[1] = static_cast<std::uint8_t>(bits >> 8);
}

inline std::int32_t Clip16(std::int32_t value)
{
    return value < -32768 ? -32768 : (value > 32767 ? 32767 : value);
}

// Signed 32-bit sum that wraps exactly as 32-bit two's-complement arithmetic
// does: a full-scale input can carry a 128-tap sum past the 32-bit range.
class WrappingSum {
public:
    void add(std::int32_t weight, std::int32_t sample)
    {
        m_bits += static_cast<std::uint32_t>(weight) * static_cast<std::uint32_t>(sample);
    }
    std::int32_t value() const { return static_cast<std::int32_t>(m_bits); }

private:
    std::uint32_t m_bits = 0;
};

// A sinc kernel: kTaps taps k = 1 - kTaps / 2 .. kTaps / 2 around the read
// index, phase phi = fraction >> kPhaseShift in 0 .. kPeriod - 1, weights
// from the table with that period.
template <int Taps, int PhaseShift, std::int32_t Period, std::int32_t (*Lookup)(std::uint32_t)>
struct SincKernel {
    static constexpr int kTaps = Taps;
    static constexpr int kFirstTap = 1 - Taps / 2;
    static constexpr int kPhaseShift = PhaseShift;
    static constexpr std::int32_t kPeriod = Period;
    static std::int32_t Entry(std::uint32_t phi) { return Lookup(phi); }
};
using LowResKernel = SincKernel<16, 12, 4096, &LowResSinc>;
using HighResKernel = SincKernel<128, 8, 65536, &HighResSinc>;

constexpr int InputChannels(ChannelMap map)
{
    return map == ChannelMap::kMonoToMono || map == ChannelMap::kMonoToStereo ? 1 : 2;
}
constexpr int OutputChannels(ChannelMap map)
{
    return map == ChannelMap::kMonoToMono || map == ChannelMap::kStereoToMono ? 1 : 2;
}

// One sample of an input channel at full 16-bit scale: 8-bit samples times 256.
template <int Bits> inline std::int32_t Widened(const std::uint8_t* p)
{
    return Bits == 8 ? LoadSample<8>(p) * 256 : LoadSample<16>(p);
}

// "Linear": g = fraction >> 8 weighs the next frame; floor through an
// arithmetic shift (by 16 for 16-bit input, by 8 for 8-bit input, which also
// widens it), the result taken as a 16-bit value. The terms cannot leave the
// 32-bit range.
template <int Bits>
inline std::int32_t Linear(const std::uint8_t* p, std::ptrdiff_t stride, std::uint32_t fraction)
{
    const auto g = static_cast<std::int32_t>(fraction >> 8);
    const std::int32_t sum = LoadSample<Bits>(p) * (65536 - g) + LoadSample<Bits>(p + stride) * g;
    return static_cast<std::int16_t>(sum >> (Bits == 8 ? 8 : 16));
}

// The sinc sums of the reference: each tap's weight divided out (w = d / e
// truncated toward zero, the sign of odd and even taps folded in), then
// added tap by tap, channel by channel.
template <class Kernel> struct DividedWeights {
    template <int Bits, int Channels>
    void sums(const std::uint8_t* firstTap, std::uint32_t phi, std::uint32_t (&out)[Channels]) const
    {
        constexpr std::ptrdiff_t kSampleBytes = Bits / 8;
        constexpr std::ptrdiff_t kStride = Channels * kSampleBytes;
        const std::int32_t d = Kernel::Entry(phi);
        std::int32_t weights[Kernel::kTaps];
        for (int t = 0; t < Kernel::kTaps; ++t) {
            const int k = Kernel::kFirstTap + t;
            const std::int32_t e = Kernel::kPeriod * k - static_cast<std::int32_t>(phi);
            const std::int32_t w = d / e;
            weights[t] = (k & 1) != 0 ? w : -w;
        }
        for (int c = 0; c < Channels; ++c) {
            WrappingSum a;
            const std::uint8_t* p = firstTap + c * kSampleBytes;
            for (int t = 0; t < Kernel::kTaps; ++t)
                a.add(weights[t], LoadSample<Bits>(p + t * kStride));
            out[c] = static_cast<std::uint32_t>(a.value());
        }
    }
};

// The converting loop for output frames first .. first + frames - 1 of the
// plan, written to their places in output. The read position of output frame
// n is exactly n x step / 2^24 (the running sum of the steps never wraps in
// 64 bits), so a conversion may be cut into pieces converted apart.
// SincSums gives the two sinc kernels' wrapping sums per input channel (a
// reference and a faster, identical form exist).
template <Interpolation I, int Bits, ChannelMap Map, class SincSums>
[[gnu::always_inline]] inline void ConvertFramesWith(const SincSums& sincSums,
    const std::uint8_t* input, std::uint8_t* output, std::uint32_t first, std::uint32_t frames,
    std::uint32_t stepFx24)
{
    constexpr int kIn = InputChannels(Map);
    constexpr int kOut = OutputChannels(Map);
    constexpr std::ptrdiff_t kSampleBytes = Bits / 8;
    constexpr std::ptrdiff_t kStride = kIn * kSampleBytes; // bytes per input frame
    // Sinc weights are integers with 16384 standing for 1.0; 8-bit samples
    // need 256 times less division to reach 16-bit scale.
    constexpr std::int32_t kUnity = Bits == 8 ? 64 : 16384;
    constexpr bool kSinc = I == Interpolation::kSincLow || I == Interpolation::kSinc;
    using Kernel = std::conditional_t<I == Interpolation::kSinc, HighResKernel, LowResKernel>;

    const std::uint64_t start = std::uint64_t { first } * stepFx24;
    std::size_t index = static_cast<std::size_t>(start >> 24);
    std::uint32_t fraction = static_cast<std::uint32_t>(start & 0xFFFFFFu);
    std::uint8_t* out = output + std::size_t { first } * kOut * 2;
    for (std::uint32_t n = 0; n < frames; ++n, out += kOut * 2) {
        const std::uint8_t* frame = input + static_cast<std::ptrdiff_t>(index) * kStride;
        std::int32_t v[2] = { 0, 0 }; // per-input-channel results at 16-bit scale
        bool mixed = false; // v[0] already holds a finished 2 -> 1 result
        if constexpr (I == Interpolation::kNone) {
            for (int c = 0; c < kIn; ++c)
                v[c] = Widened<Bits>(frame + c * kSampleBytes);
        } else if constexpr (I == Interpolation::kLinear) {
            for (int c = 0; c < kIn; ++c)
                v[c] = Linear<Bits>(frame + c * kSampleBytes, kStride, fraction);
        } else if constexpr (kSinc) {
            const std::uint32_t phi = fraction >> Kernel::kPhaseShift;
            if (phi == 0) {
                // A whole-frame position copies the frame.
                for (int c = 0; c < kIn; ++c)
                    v[c] = Widened<Bits>(frame + c * kSampleBytes);
            } else {
                std::uint32_t a[kIn];
                sincSums.template sums<Bits, kIn>(frame + Kernel::kFirstTap * kStride, phi, a);
                if constexpr (Map == ChannelMap::kStereoToMono) {
                    v[0] = Clip16(static_cast<std::int32_t>(a[0] + a[1]) / (2 * kUnity));
                    mixed = true;
                } else {
                    for (int c = 0; c < kIn; ++c)
                        v[c] = Clip16(static_cast<std::int32_t>(a[c]) / kUnity);
                }
            }
        }

        // Channel mapping. Two channels become one as their mean, truncated
        // toward zero (for 8-bit samples exactly (L + R) x 128).
        if constexpr (Map == ChannelMap::kStereoToMono) {
            StoreSample16(out, mixed ? v[0] : (v[0] + v[1]) / 2);
        } else {
            StoreSample16(out, v[0]);
            if constexpr (kOut == 2)
                StoreSample16(out + 2, kIn == 2 ? v[1] : v[0]);
        }

        // 64-bit so that no step can wrap the sum.
        const std::uint64_t t = std::uint64_t { fraction } + stepFx24;
        index += static_cast<std::size_t>(t >> 24);
        fraction = static_cast<std::uint32_t>(t & 0xFFFFFFu);
    }
}

// The reference loop of a combination.
template <Interpolation I, int Bits, ChannelMap Map>
void ConvertFrames(const std::uint8_t* input, std::uint8_t* output, std::uint32_t first,
    std::uint32_t frames, std::uint32_t stepFx24)
{
    using Kernel = std::conditional_t<I == Interpolation::kSinc, HighResKernel, LowResKernel>;
    ConvertFramesWith<I, Bits, Map>(
        DividedWeights<Kernel> {}, input, output, first, frames, stepFx24);
}

} // namespace vellisto::audio::convert
