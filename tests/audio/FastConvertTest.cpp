// SPDX-License-Identifier: MIT
// The fast loading conversion against the reference loops: the per-phase
// weight tables against the divisions, each instruction set's dot products
// against the tap-by-tap sums, and whole conversions (cut into pieces on
// threads) against the reference bytes. Any difference is a failure.

#include "audio/ConvertKernels.h"
#include "audio/ConvertSound.h"
#include "audio/SincDot.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace vellisto;
using namespace vellisto::audio;

namespace {

// A sample block (guard zones zero) of random bytes: samples of any value,
// one in eight at full scale, so that sums reach the ends of their range.
struct RandomBlock {
    std::uint8_t* samples = nullptr;
    std::uint32_t bytes = 0;

    RandomBlock(std::mt19937& rng, std::uint32_t size, int bits)
        : bytes(size)
    {
        samples = AllocateSampleBlock(size);
        const int width = bits / 8;
        for (std::uint32_t i = 0; i + width <= size; i += width) {
            const std::uint32_t roll = rng() % 8;
            std::uint32_t value = rng();
            if (roll == 0)
                value = bits == 8 ? 0x80 : 0x8000; // the most negative sample
            else if (roll == 1)
                value = bits == 8 ? 0x7F : 0x7FFF;
            for (int b = 0; b < width; ++b)
                samples[i + b] = static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    ~RandomBlock() { ReleaseSampleBlock(samples); }
    RandomBlock(const RandomBlock&) = delete;
    RandomBlock& operator=(const RandomBlock&) = delete;
};

template <int Taps, std::int32_t Period>
std::uint32_t CountWrongWeights(const std::int16_t* table, std::int32_t (*entry)(std::uint32_t))
{
    std::uint32_t wrong = 0;
    for (int t = 0; t < Taps; ++t)
        wrong += table[t] != 0 ? 1 : 0; // row 0 is never read and holds zeros
    for (std::int32_t phi = 1; phi < Period; ++phi) {
        const std::int32_t d = entry(static_cast<std::uint32_t>(phi));
        for (int t = 0; t < Taps; ++t) {
            const std::int32_t k = 1 - Taps / 2 + t;
            const std::int32_t w = d / (Period * k - phi);
            const std::int32_t expected = (k % 2 != 0) ? w : -w;
            wrong += table[std::size_t(phi) * Taps + t] != expected ? 1 : 0;
        }
    }
    return wrong;
}

} // namespace

TEST(SincWeights, EveryWeightIsItsTapsDivisionWithTheTapsSign)
{
    BuildSincTables();
    const SincWeightTables* tables = SincWeights();
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(SincWeights(), tables) << "built once";
    EXPECT_EQ((CountWrongWeights<kLowResTaps, 4096>(tables->lowRes, &LowResSinc)), 0u);
    EXPECT_EQ((CountWrongWeights<kHighResTaps, 65536>(tables->highRes, &HighResSinc)), 0u);
    // Hand-checked corners: phase 1 puts almost all weight on tap 0, which
    // is even and so subtracted: -(16384 / -1).
    EXPECT_EQ(tables->highResRow(1)[63], 16384);
    EXPECT_EQ(tables->lowResRow(1)[7], 16384);
}

namespace {

// The dot products of one instruction set against the reference sums of the
// loading conversion, at random phases, on random and full-scale taps.
template <class Isa, int Taps, int Channels, int Bits, class Kernel>
void CheckDot(std::mt19937& rng, const std::int16_t* table)
{
    SCOPED_TRACE(
        testing::Message() << "taps " << Taps << " channels " << Channels << " bits " << Bits);
    constexpr std::uint32_t kBytes = Taps * Channels * Bits / 8;
    for (int round = 0; round < 300; ++round) {
        RandomBlock block(rng, kBytes, Bits);
        if (round % 50 == 0) {
            // All taps at the most negative sample: the largest magnitudes.
            for (std::uint32_t i = 0; i < kBytes; ++i)
                block.samples[i] = (Bits == 16 && i % 2 == 0) ? 0 : 0x80;
        }
        const std::uint32_t phi = 1 + rng() % (Kernel::kPeriod - 1);
        std::uint32_t expected[Channels];
        convert::DividedWeights<Kernel> {}.template sums<Bits, Channels>(
            block.samples, phi, expected);
        std::uint32_t actual[Channels];
        Isa::template Dot<Taps, Channels, Bits>(
            table + std::size_t { phi } * Taps, block.samples, actual);
        for (int c = 0; c < Channels; ++c)
            ASSERT_EQ(actual[c], expected[c]) << "phase " << phi << " channel " << c;
    }
}

template <class Isa> void CheckAllDots(std::mt19937& rng)
{
    const SincWeightTables& w = *SincWeights();
    CheckDot<Isa, 16, 1, 16, convert::LowResKernel>(rng, w.lowRes);
    CheckDot<Isa, 16, 2, 16, convert::LowResKernel>(rng, w.lowRes);
    CheckDot<Isa, 16, 1, 8, convert::LowResKernel>(rng, w.lowRes);
    CheckDot<Isa, 16, 2, 8, convert::LowResKernel>(rng, w.lowRes);
    CheckDot<Isa, 128, 1, 16, convert::HighResKernel>(rng, w.highRes);
    CheckDot<Isa, 128, 2, 16, convert::HighResKernel>(rng, w.highRes);
    CheckDot<Isa, 128, 1, 8, convert::HighResKernel>(rng, w.highRes);
    CheckDot<Isa, 128, 2, 8, convert::HighResKernel>(rng, w.highRes);
}

} // namespace

TEST(SincDot, EveryInstructionSetGivesTheTapByTapSums)
{
    BuildSincTables();
    ASSERT_NE(SincWeights(), nullptr);
    std::mt19937 rng(11);
    CheckAllDots<simd::Portable>(rng);
#if VEL_HAVE_X86_VECTORS
    CheckAllDots<simd::Sse2>(rng);
    if (Supports(VectorIsa::kAvx2))
        CheckAllDots<simd::Avx2>(rng);
    if (Supports(VectorIsa::kAvx512))
        CheckAllDots<simd::Avx512>(rng);
    if (!Supports(VectorIsa::kAvx512))
        GTEST_LOG_(INFO) << "this processor lacks the widest vectors: they are not checked";
#endif
}

TEST(FastConversion, GivesTheReferenceBytesForEveryCombination)
{
    BuildSincTables();
    std::mt19937 rng(5);
    // Up, down, equal, odd and extreme ratios (the last near the 256 limit).
    const std::array<std::pair<std::uint32_t, std::uint32_t>, 8> rates { { { 44100, 48000 },
        { 48000, 44100 }, { 22050, 44100 }, { 8000, 96000 }, { 96000, 8000 }, { 44100, 44100 },
        { 11025, 44099 }, { 1000000, 3907 } } };
    for (std::uint32_t interpolation = 0; interpolation <= 3; ++interpolation) {
        for (const int bits : { 8, 16 }) {
            for (const std::uint16_t inChannels : { 1, 2 }) {
                for (const std::uint16_t outChannels : { 1, 2 }) {
                    for (const auto& [inRate, outRate] : rates) {
                        SCOPED_TRACE(testing::Message()
                            << "interpolation " << interpolation << ", " << bits << " bits, "
                            << inChannels << " -> " << outChannels << ", " << inRate << " -> "
                            << outRate);
                        OutputFormat in { 1, inChannels, inRate, 0, 0,
                            static_cast<std::uint16_t>(bits), 0 };
                        CompleteOutputFormat(in);
                        OutputFormat out { 1, outChannels, outRate, 0, 0, 16, 0 };
                        CompleteOutputFormat(out);
                        const std::uint32_t frames = rng() % 3000;
                        RandomBlock input(rng, frames * in.blockAlign, bits);
                        const auto plan = PlanConversion(in, input.bytes, out, interpolation);
                        ASSERT_TRUE(plan.has_value());
                        std::vector<std::uint8_t> expected(plan->outputBytes + 2 * kGuardBytes);
                        RunConversion(*plan, input.samples, expected.data() + kGuardBytes,
                            { KernelPath::kReference, VectorIsa::kPortable, 1 });
                        for (const VectorIsa isa : SupportedVectorIsas()) {
                            for (const std::uint32_t threads : { 1u, 3u }) {
                                std::vector<std::uint8_t> actual(expected.size());
                                // Tiny pieces, so that threads cut even short conversions.
                                RunConversion(*plan, input.samples, actual.data() + kGuardBytes,
                                    { KernelPath::kFast, isa, threads, 7 });
                                ASSERT_EQ(actual, expected)
                                    << "instruction set " << static_cast<int>(isa) << ", "
                                    << threads << " threads";
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(FastConversion, ConvertSoundUsesTheChosenPathWithTheSameResult)
{
    // The process-wide choice reaches ConvertSound; both choices give the same sound.
    BuildSincTables();
    std::mt19937 rng(9);
    OutputFormat in { 1, 2, 44100, 0, 0, 16, 0 };
    CompleteOutputFormat(in);
    OutputFormat out { 1, 2, 48000, 0, 0, 16, 0 };
    CompleteOutputFormat(out);
    RandomBlock input(rng, 70000 * 4, 16);
    std::vector<std::uint8_t> results[2];
    const KernelPath before = CurrentKernelPath();
    for (const KernelPath path : { KernelPath::kReference, KernelPath::kFast }) {
        SetKernelPath(path);
        SoundSlot sound;
        sound.dataFormat = in;
        sound.samples = AllocateSampleBlock(input.bytes);
        sound.sampleBytes = input.bytes;
        std::memcpy(sound.samples, input.samples, input.bytes);
        ASSERT_TRUE(ConvertSound(sound, out, 3));
        results[path == KernelPath::kFast].assign(sound.samples, sound.samples + sound.sampleBytes);
    }
    SetKernelPath(before);
    EXPECT_EQ(results[0].size(), 76190u * 4);
    EXPECT_EQ(results[1], results[0]);
}
