// SPDX-License-Identifier: MIT
// The sinc paths of the fast mixing loops against the reference:
// - the four-frame sums with their scaling, and the one-frame dot product
//   that reads the first half of the "Use sinc" table either way, against the
//   reference kernel (one division per tap): random samples with full-scale
//   values, phases on both halves of the table, at its middle, next to it, at
//   its ends and at 0 (a whole-frame position), taps reaching into the guard
//   zones at both ends of the samples;
// - voices that move by whole frames, at phase 0 and at other phases, whole
//   mixes against the reference loops.
// Any difference is a failure.

#include "EngineTestSupport.h"
#include "audio/SincTables.h"
#include "audio/SincWeights.h"
#include "engine/detail/Kernels.h"
#include "engine/detail/SincFours.h"
#include "model/Project.h"

#include <gtest/gtest.h>
#include <random>

using namespace vellisto;

#if VEL_HAVE_X86_VECTORS

namespace {

constexpr std::uint32_t kFrames = 300;

struct Samples {
    std::uint8_t* block = nullptr;

    Samples(std::mt19937& rng, int channels)
    {
        block = AllocateSampleBlock(std::uint64_t { kFrames } * channels * 2);
        for (std::uint32_t i = 0; i < kFrames * channels; ++i) {
            const std::uint32_t roll = rng() % 8;
            const auto value
                = static_cast<std::uint16_t>(roll == 0 ? 0x8000 : (roll == 1 ? 0x7FFF : rng()));
            block[2 * i] = static_cast<std::uint8_t>(value);
            block[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
        }
    }
    ~Samples() { ReleaseSampleBlock(block); }
    Samples(const Samples&) = delete;
    Samples& operator=(const Samples&) = delete;
};

// A position: frame and 24-bit fraction, its phase now and then forced to a
// corner of the table (phase p of a table of `bits` bits).
struct Position {
    std::uint32_t index;
    std::uint32_t fraction;
};

Position RandomPosition(std::mt19937& rng, int phaseBits)
{
    const std::uint32_t period = 1u << phaseBits;
    const std::uint32_t corners[]
        = { 0, 1, period / 2 - 1, period / 2, period / 2 + 1, period - 1 };
    const int shift = 24 - phaseBits;
    auto fraction = static_cast<std::uint32_t>(rng() & 0xFFFFFF);
    if (rng() % 3 == 0)
        fraction = (corners[rng() % 6] << shift) | (rng() & ((1u << shift) - 1));
    // Frames near both ends put taps in the guard zones.
    return { static_cast<std::uint32_t>(rng() % kFrames), fraction };
}

template <engine::Kernel K, int Channels>
std::int32_t ReferenceValue(const std::uint8_t* samples, const Position& p, int channel)
{
    std::int32_t out[Channels];
    engine::KernelValue<K, Channels>(samples, p.index, p.fraction, out);
    return out[channel];
}

template <class Fours, engine::Kernel K, int Channels> void CheckFours(std::mt19937& rng)
{
    constexpr bool kLow = K == engine::Kernel::kSincLow;
    constexpr int kTaps = kLow ? audio::kLowResTaps : audio::kHighResTaps;
    SCOPED_TRACE(testing::Message() << "taps " << kTaps << " channels " << Channels);
    const audio::SincWeightTables& tables = *audio::SincWeights();
    const Samples samples(rng, Channels);
    for (int round = 0; round < 400; ++round) {
        Position p[4];
        engine::sinc::FourFrames f;
        for (int i = 0; i < 4; ++i) {
            p[i] = RandomPosition(rng, kLow ? 12 : 16);
            engine::sinc::SetFrame<kLow, Channels>(
                f, i, tables, samples.block, p[i].index, p[i].fraction);
        }
        __m128i sums[Channels];
        Fours::template Sums<kTaps, Channels, !kLow>(f, sums);
        // Scaled by one level (1 or one that makes the products wrap) or by a
        // level per frame, onto sums already there.
        std::uint32_t levels[4];
        for (std::uint32_t& l : levels)
            l = rng() % 2 == 0 ? 1 : rng();
        const bool perFrame = round % 2 == 0;
        std::uint32_t out[2 * 8];
        std::uint32_t before[2 * 8];
        for (int w = 0; w < 2 * 8; ++w)
            out[w] = before[w] = rng();
        if (perFrame)
            engine::sinc::Avx2Fours::AddScaled<Channels>(sums, levels, out, 8);
        else
            engine::sinc::Avx2Fours::AddScaled<Channels>(sums, levels[0], out, 8);
        for (int c = 0; c < Channels; ++c) {
            for (int i = 0; i < 4; ++i) {
                const auto value = static_cast<std::uint32_t>(
                    ReferenceValue<K, Channels>(samples.block, p[i], c));
                const std::uint32_t level = perFrame ? levels[i] : levels[0];
                ASSERT_EQ(out[c * 8 + i], before[c * 8 + i] + value * level)
                    << "frame " << p[i].index << " fraction " << p[i].fraction << " channel " << c
                    << " lane " << i;
            }
        }
    }
}

template <class Isa, int Channels> void CheckEitherWay(std::mt19937& rng)
{
    SCOPED_TRACE(testing::Message() << "either way, channels " << Channels);
    const audio::SincWeightTables& tables = *audio::SincWeights();
    const Samples samples(rng, Channels);
    for (int round = 0; round < 400; ++round) {
        const Position p = RandomPosition(rng, 16);
        const std::uint32_t phi = p.fraction >> 8;
        if (phi == 0)
            continue; // the loops copy the sample without the dot product
        const audio::MirroredRow m = audio::FromFirstHalf<audio::kHighResSincPeriod>(phi);
        ASSERT_LE(m.row, audio::kHighResSincPeriod / 2);
        std::uint32_t sum[Channels];
        Isa::template DotEitherWay<audio::kHighResTaps, Channels>(tables.highResRow(m.row),
            m.reversed, samples.block + (std::ptrdiff_t { p.index } - 63) * (Channels * 2), sum);
        for (int c = 0; c < Channels; ++c)
            ASSERT_EQ(static_cast<std::int32_t>(sum[c]) / 16384,
                (ReferenceValue<engine::Kernel::kSinc, Channels>(samples.block, p, c)))
                << "frame " << p.index << " phase " << phi << " channel " << c;
    }
}

// Four at a time: the low resolution (256-bit vectors on every processor
// that has them) and "Use sinc" stereo; mono "Use sinc" goes one frame at a
// time, either way.
template <class Isa> void CheckEitherWays(std::mt19937& rng)
{
    CheckEitherWay<Isa, 1>(rng);
    CheckEitherWay<Isa, 2>(rng);
}

} // namespace

TEST(SincFours, EveryInstructionSetGivesTheReferenceKernelValues)
{
    audio::BuildSincTables();
    ASSERT_NE(audio::SincWeights(), nullptr);
    std::mt19937 rng(19);
    if (audio::Supports(audio::VectorIsa::kAvx2)) {
        SCOPED_TRACE("AVX2");
        CheckFours<engine::sinc::Avx2Fours, engine::Kernel::kSincLow, 1>(rng);
        CheckFours<engine::sinc::Avx2Fours, engine::Kernel::kSincLow, 2>(rng);
        CheckFours<engine::sinc::Avx2Fours, engine::Kernel::kSinc, 2>(rng);
        CheckEitherWays<audio::simd::Avx2>(rng);
    }
    if (audio::Supports(audio::VectorIsa::kAvx512)) {
        SCOPED_TRACE("AVX-512");
        CheckFours<engine::sinc::Avx512Fours, engine::Kernel::kSinc, 2>(rng);
        CheckEitherWays<audio::simd::Avx512>(rng);
    }
}

TEST(SincFours, FirstHalfRowsMirrorTheSecondHalf)
{
    // The table's rows past the middle are the earlier rows back to front,
    // which is what reading the first half either way relies on.
    audio::BuildSincTables();
    const audio::SincWeightTables* tables = audio::SincWeights();
    ASSERT_NE(tables, nullptr);
    std::uint32_t wrong = 0;
    for (std::uint32_t phi = 1; phi < audio::kHighResSincPeriod; ++phi) {
        const audio::MirroredRow m = audio::FromFirstHalf<audio::kHighResSincPeriod>(phi);
        const std::int16_t* row = tables->highResRow(phi);
        const std::int16_t* read = tables->highResRow(m.row);
        for (int t = 0; t < audio::kHighResTaps; ++t)
            wrong += row[t] != read[m.reversed != 0 ? audio::kHighResTaps - 1 - t : t] ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(audio::FromFirstHalf<65536>(32768).reversed, 0u);
    EXPECT_EQ(audio::FromFirstHalf<65536>(32769).row, 32767u);
}

TEST(FastSinc, VoicesMovingByWholeFramesMatchTheReference)
{
    // Track 0 plays at pitch 1 from the start (phase 0 for ever). Tracks 1
    // and 2 start at pitch 1/2 and 1/4, and a track pitch of 2 and 4 makes
    // their steps whole frames at phases 1/2 and 3/4, which they then keep;
    // track 3 moves 3 frames a frame. A rising envelope on one sound gives
    // levels that change from frame to frame.
    audio::BuildSincTables();
    ASSERT_NE(audio::SincWeights(), nullptr);
    std::mt19937 rng(7);
    for (const auto interpolation : { Interpolation::kSinc, Interpolation::kSincLow }) {
        for (const std::uint16_t channels : { 1, 2 }) {
            SCOPED_TRACE(testing::Message()
                << "interpolation " << static_cast<int>(interpolation) << " channels " << channels);
            const auto render = [&](audio::KernelPath path, audio::VectorIsa isa) {
                test::TestProject p(channels);
                p.settings().mixingInterpolation = static_cast<std::uint32_t>(interpolation);
                p.settings().changingPitch = 1;
                std::mt19937 samples(11);
                std::vector<std::int16_t> wave(std::size_t { 6000 } * channels);
                for (std::int16_t& x : wave)
                    x = static_cast<std::int16_t>(samples());
                p.sound(1, wave);
                p.sound(2, wave).attackTime = 5000;
                p.play(0, 0, 1, 1024, kPitchOne);
                p.play(1, 0, 2, 1024, kPitchOne / 2);
                p.event(1, 101, EventType::kPitch, 2 * kPitchOne);
                p.play(2, 0, 1, 1024, kPitchOne / 4);
                p.event(2, 7, EventType::kPitch, 4 * kPitchOne);
                p.play(3, 0, 1, 1024, 3 * kPitchOne);
                EXPECT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
                EXPECT_TRUE(engine::SeekMix(p.project(), p.state(), 0));
                p.setup() = { path, isa, nullptr };
                return p.renderMore(1900);
            };
            const auto reference
                = render(audio::KernelPath::kReference, audio::VectorIsa::kPortable);
            for (const auto isa : audio::SupportedVectorIsas())
                EXPECT_EQ(render(audio::KernelPath::kFast, isa), reference)
                    << "instruction set " << static_cast<int>(isa);
        }
    }
}

#endif
