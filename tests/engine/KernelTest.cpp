// SPDX-License-Identifier: MIT
// The four mixing kernels, seen through whole renders of one voice at unity
// gain (so that the output is the kernel value itself). Expected values are
// worked out by hand from the kernel definitions and the reference entries of
// the sinc tables (low resolution: entry 1 = 16384, entry 2048 = 22243045;
// high resolution: entry 32768 = 343490917).

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::test::Channel;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;

namespace {

constexpr std::uint32_t kHalfPitch = kPitchOne / 2;

V RenderOne(Interpolation kernel, const V& samples, std::uint32_t pitch, std::uint32_t frames,
    std::uint32_t volume = 1024)
{
    TestProject p(1);
    p.settings().mixingInterpolation = static_cast<std::uint32_t>(kernel);
    p.sound(0, samples);
    p.play(0, 0, 0, volume, pitch);
    return p.render(frames);
}

const Interpolation kAllKernels[] = { Interpolation::kNone, Interpolation::kLinear,
    Interpolation::kSincLow, Interpolation::kSinc };

} // namespace

TEST(Kernels, UnityPitchReproducesSamplesUnderEveryKernel)
{
    const V samples { 100, -200, 300, 32767, -32768, 1 };
    for (Interpolation k : kAllKernels) {
        SCOPED_TRACE(static_cast<int>(k));
        EXPECT_EQ(
            RenderOne(k, samples, kPitchOne, 8), (V { 100, -200, 300, 32767, -32768, 1, 0, 0 }));

        TestProject stereo(2);
        stereo.settings().mixingInterpolation = static_cast<std::uint32_t>(k);
        stereo.sound(0, { 100, -100, 32767, -32768, -5, 7 });
        stereo.play(0, 0, 0);
        EXPECT_EQ(stereo.render(4), (V { 100, -100, 32767, -32768, -5, 7, 0, 0 }));
    }
}

TEST(Kernels, HalfStepRepeatsUnderNoneAndAveragesRoundingDownUnderLinear)
{
    const V samples { 0, 1000, -1001 };
    EXPECT_EQ(RenderOne(Interpolation::kNone, samples, kHalfPitch, 7),
        (V { 0, 0, 1000, 1000, -1001, -1001, 0 }));
    // (a * 32768 + b * 32768) >> 16 floors: (1000 - 1001) / 2 gives -1, -1001 / 2 gives -501;
    // the last frame interpolates toward the zero guard zone.
    EXPECT_EQ(RenderOne(Interpolation::kLinear, samples, kHalfPitch, 7),
        (V { 0, 500, 1000, -1, -1001, -501, 0 }));
}

TEST(Kernels, LinearWeightsLoseOneUnitWhenTheFractionHasLowBits)
{
    // Step 1: fractions 1 and 2 give weights 65535 and 0, so a steady 1000 becomes 999.
    EXPECT_EQ(RenderOne(Interpolation::kLinear, { 1000, 1000 }, 1, 3), (V { 1000, 999, 999 }));
    // Step 256: the low 8 bits stay 0 and the weights (65535 and 1, 65534 and 2) add up to 65536.
    EXPECT_EQ(RenderOne(Interpolation::kLinear, { 1000, 1000 }, 256, 3), (V { 1000, 1000, 1000 }));
}

TEST(Kernels, SincBelowPhaseResolutionReturnsTheSample)
{
    // Fractions below 4096 (low resolution) and 256 (high) are whole-frame positions.
    EXPECT_EQ(RenderOne(Interpolation::kSincLow, { 1234, -4321 }, 4095, 2), (V { 1234, 1234 }));
    EXPECT_EQ(RenderOne(Interpolation::kSinc, { 1234, -4321 }, 255, 2), (V { 1234, 1234 }));
}

TEST(Kernels, LowResolutionSincAtPhaseOne)
{
    // phi = 1, d = 16384: tap 0 weighs 16384 / -1 (subtracted), tap 1 weighs
    // 16384 / 4095 = 4 (added): (16384 * 16384 + 4 * 16384) / 16384.
    EXPECT_EQ(RenderOne(Interpolation::kSincLow, { 16384, 16384 }, 4096, 2), (V { 16384, 16388 }));
}

TEST(Kernels, SincAtHalfFrameUsesTheMiddleOfTheTable)
{
    // Low resolution: phi = 2048, weights +-22243045 / 2048 = 10860 on taps 0 and 1.
    EXPECT_EQ(
        RenderOne(Interpolation::kSincLow, { 16384, 16384 }, kHalfPitch, 2), (V { 16384, 21720 }));
    // High resolution: phi = 32768, weights +-343490917 / 32768 = 10482.
    EXPECT_EQ(
        RenderOne(Interpolation::kSinc, { 16384, 16384 }, kHalfPitch, 2), (V { 16384, 20964 }));
    // The sum is divided by 16384 truncating toward zero: -10482 * -16383 / 16384
    // subtracted is -10481.36, giving -10481 (a shift would give -10482).
    EXPECT_EQ(RenderOne(Interpolation::kSinc, { -16383 }, kHalfPitch, 2), (V { -16383, -10481 }));
    EXPECT_EQ(
        RenderOne(Interpolation::kSincLow, { -16383 }, kHalfPitch, 2), (V { -16383, -10859 }));
}

TEST(Kernels, StereoChannelsShareTheWeights)
{
    TestProject p(2);
    p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
    p.sound(0, { 16384, -16384, 16384, -16384 });
    p.play(0, 0, 0, 1024, kHalfPitch);
    const V out = p.render(2);
    EXPECT_EQ(Channel(out, 0, 2), (V { 16384, 20964 }));
    EXPECT_EQ(Channel(out, 1, 2), (V { -16384, -20964 }));
}

TEST(Kernels, SincOvershootIsSummedUnclipped)
{
    // 32767 * (16384 + 4) / 16384 = 32774 exceeds the 16-bit range inside the
    // mix; at half volume it comes out as 16387, not as the 16383 of a clipped value.
    EXPECT_EQ(
        RenderOne(Interpolation::kSincLow, { 32767, 32767 }, 4096, 2, 512), (V { 16383, 16387 }));
    // At full volume only the final output clips.
    EXPECT_EQ(RenderOne(Interpolation::kSincLow, { 32767, 32767 }, 4096, 2), (V { 32767, 32767 }));
}

TEST(Kernels, TapsAroundALoopReadTheSamplesAsTheyLie)
{
    // Loop [0, 2) of { 16384, 16384, -16384 }: at frame 1 and a half the linear
    // neighbour is frame 2 (after the loop end), not the loop's beginning.
    TestProject p(1);
    p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kLinear);
    SoundSlot& s = p.sound(0, { 16384, 16384, -16384 });
    s.loopBegin = 0;
    s.loopEnd = 2;
    p.play(0, 0, 0, 1024, kHalfPitch);
    EXPECT_EQ(p.render(5), (V { 16384, 16384, 16384, 0, 16384 }));
}
