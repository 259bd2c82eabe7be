// SPDX-License-Identifier: MIT
#include "audio/ConvertSound.h"

#include "audio/AudioTestUtil.h"
#include "audio/SincTables.h"
#include "audio/WaveReader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace vellisto;
using namespace vellisto::audio;
using vellisto::test::GuardZonesZero;
using vellisto::test::PcmFormat;
using vellisto::test::Samples16;
using vellisto::test::SetSamples;

namespace {

constexpr std::uint32_t kAllInterpolations[] = { 0, 1, 2, 3 };

// Converts a fresh sound holding values in the given format; the converted samples.
std::vector<int> Converted(const OutputFormat& in, const std::vector<int>& values,
    const OutputFormat& out, std::uint32_t interpolation)
{
    BuildSincTables();
    SoundSlot sound;
    SetSamples(sound, in, values);
    EXPECT_TRUE(ConvertSound(sound, out, interpolation));
    EXPECT_TRUE(GuardZonesZero(sound));
    return Samples16(sound);
}

std::vector<int> RandomValues(std::size_t count, int low, int high, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(low, high);
    std::vector<int> values(count);
    for (int& v : values)
        v = value(random);
    return values;
}

// A full-scale pattern whose band-limited curve overshoots far past the
// 16-bit range halfway between the two positive samples.
std::vector<int> Overshoot(int amplitude, std::size_t length, std::size_t at)
{
    std::vector<int> values(length, 0);
    values[at - 1] = -amplitude;
    values[at] = amplitude;
    values[at + 1] = amplitude;
    values[at + 2] = -amplitude;
    return values;
}

} // namespace

TEST(ConvertSound, SameRateCopiesEveryFrameAndTakesOutputFormat)
{
    BuildSincTables();
    OutputFormat in = PcmFormat(2, 44100, 16);
    in.averageBytesPerSecond = 12345; // differs from the output's, so the key differs
    OutputFormat out = PcmFormat(2, 44100, 16);
    out.extraSize = 7; // copied with the rest
    const auto values = RandomValues(2 * 300, -32768, 32767, 1);
    for (const std::uint32_t interpolation : kAllInterpolations) {
        SoundSlot sound;
        SetSamples(sound, in, values);
        sound.pitch = 99;
        sound.loopBegin = 5;
        ASSERT_TRUE(ConvertSound(sound, out, interpolation));
        EXPECT_EQ(Samples16(sound), values) << interpolation;
        EXPECT_EQ(std::memcmp(&sound.dataFormat, &out, sizeof out), 0);
        EXPECT_EQ(sound.pitch, 99u);
        EXPECT_EQ(sound.loopBegin, 5u);
        EXPECT_TRUE(GuardZonesZero(sound));
    }
}

TEST(ConvertSound, PlansStepAndFrameCounts)
{
    const auto up = PlanConversion(PcmFormat(1, 22050, 16), 2 * 1001, PcmFormat(2, 44100, 16), 0);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->stepFx24, 0x800000u);
    EXPECT_EQ(up->inputFrames, 1001u);
    EXPECT_EQ(up->outputFrames, 2002u);
    EXPECT_EQ(up->outputBytes, 2002u * 4);
    // floor(44100 x 2^24 / 48000) and floor(1000 x 48000 / 44100).
    const auto odd
        = PlanConversion(PcmFormat(2, 44100, 8), 2 * 1000 + 1, PcmFormat(1, 48000, 16), 3);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->stepFx24, 15414067u);
    EXPECT_EQ(odd->inputFrames, 1000u);
    EXPECT_EQ(odd->outputFrames, 1088u);
    EXPECT_EQ(odd->channelMap, ChannelMap::kStereoToMono);
    EXPECT_EQ(odd->inputBits, 8);
}

TEST(ConvertSound, NoneRepeatsAndDropsWholeFrames)
{
    // 22050 Hz mono to 44100 Hz stereo: each frame twice, in both channels.
    EXPECT_EQ(Converted(PcmFormat(1, 22050, 16), { 10, -20, 30 }, PcmFormat(2, 44100, 16), 0),
        (std::vector<int> { 10, 10, 10, 10, -20, -20, -20, -20, 30, 30, 30, 30 }));
    // 44100 Hz to 22050 Hz: floor(7 / 2) frames, every second one from frame 0.
    EXPECT_EQ(
        Converted(PcmFormat(1, 44100, 16), { 1, 2, 3, 4, 5, 6, 7 }, PcmFormat(1, 22050, 16), 0),
        (std::vector<int> { 1, 3, 5 }));
}

TEST(ConvertSound, NoneWidensEightBitAndAveragesTowardZero)
{
    // Bytes as in the file: 0x00 is -128, 0xFF is 127, 0x80 silence.
    BuildSincTables();
    SoundSlot sound;
    ASSERT_TRUE(
        ParseWaveFile(test::WaveBytes {}.pcm8(1, 8000, { 0x00, 0xFF, 0x80, 0x81 }).file(), sound));
    ASSERT_TRUE(ConvertSound(sound, PcmFormat(1, 8000, 16), 0));
    EXPECT_EQ(Samples16(sound), (std::vector<int> { -32768, 32512, 0, 256 }));

    // Two channels become their mean truncated toward zero: -3 and 0 give -1.
    EXPECT_EQ(Converted(PcmFormat(2, 8000, 16), { -3, 0, 3, 0, -32768, -32768, 32767, -32768 },
                  PcmFormat(1, 8000, 16), 0),
        (std::vector<int> { -1, 1, -32768, 0 }));
    // Eight-bit pairs give (L + R) x 128.
    EXPECT_EQ(Converted(PcmFormat(2, 8000, 8), { -3, 0, -128, -128, 127, 127 },
                  PcmFormat(1, 8000, 16), 0),
        (std::vector<int> { -384, -32768, 32512 }));
}

TEST(ConvertSound, LinearInterpolatesWithFloorAndRunsIntoSilence)
{
    const auto out = PcmFormat(1, 44100, 16);
    // Half-frame steps: the midpoint, then the last frame toward the zero guard zone.
    EXPECT_EQ(Converted(PcmFormat(1, 22050, 16), { 1000, 2000 }, out, 1),
        (std::vector<int> { 1000, 1500, 2000, 1000 }));
    // Floor, not truncation: halfway between -1 and 0 is -1; between -3 and -2, -3.
    EXPECT_EQ(Converted(PcmFormat(1, 22050, 16), { -1, 0, -3, -2 }, out, 1),
        (std::vector<int> { -1, -1, 0, -2, -3, -3, -2, -1 }));
    // Eight-bit samples: (x0 (65536 - g) + x1 g) >> 8.
    EXPECT_EQ(Converted(PcmFormat(1, 22050, 8), { 1, 2, -128 }, out, 1),
        (std::vector<int> { 256, 384, 512, -16128, -32768, -16384 }));
    // Stereo to mono averages the two interpolated channels toward zero.
    EXPECT_EQ(Converted(PcmFormat(2, 22050, 16), { 1, 0, 2, 0 }, out, 1),
        (std::vector<int> { 0, 0, 1, 0 }));
}

TEST(ConvertSound, SincReproducesWholeFramePositionsExactly)
{
    // Doubling the rate puts every even output frame on an input frame.
    const auto values = RandomValues(400, -30000, 30000, 2);
    for (const std::uint32_t interpolation : { 2u, 3u }) {
        const auto result
            = Converted(PcmFormat(1, 22050, 16), values, PcmFormat(1, 44100, 16), interpolation);
        ASSERT_EQ(result.size(), 800u);
        int differing = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(result[2 * i], values[i]) << i;
            differing += result[2 * i + 1] != values[i] ? 1 : 0;
        }
        EXPECT_GT(differing, 300); // the half positions are interpolated
    }
}

TEST(ConvertSound, SincClipsOvershoot)
{
    const auto out = PcmFormat(1, 44100, 16);
    for (const std::uint32_t interpolation : { 2u, 3u }) {
        const auto up
            = Converted(PcmFormat(1, 22050, 16), Overshoot(32767, 200, 100), out, interpolation);
        EXPECT_EQ(up[201], 32767) << interpolation;
        const auto down
            = Converted(PcmFormat(1, 22050, 16), Overshoot(-32767, 200, 100), out, interpolation);
        EXPECT_EQ(down[201], -32768) << interpolation;
    }
}

TEST(ConvertSound, SincStereoToMonoFinishesTheSummedAccumulators)
{
    // Half scale stays below the clip in mono; full scale in the left channel
    // alone must give the same value after the pair is divided by 32768,
    // which clipping each channel before averaging would not.
    const auto out = PcmFormat(1, 44100, 16);
    for (const std::uint32_t interpolation : { 2u, 3u }) {
        const auto half
            = Converted(PcmFormat(1, 22050, 16), Overshoot(16383, 200, 100), out, interpolation);
        ASSERT_GT(half[201], 16383);
        ASSERT_LT(half[201], 32767);
        std::vector<int> stereo(400, 0);
        const auto full = Overshoot(32766, 200, 100);
        for (std::size_t i = 0; i < full.size(); ++i)
            stereo[2 * i] = full[i];
        const auto mixed = Converted(PcmFormat(2, 22050, 16), stereo, out, interpolation);
        EXPECT_EQ(mixed, half) << interpolation;
    }
}

TEST(ConvertSound, SincKeepsConstantWithinAFewUnits)
{
    const std::vector<int> constant(2000, 10000);
    for (const std::uint32_t interpolation : { 2u, 3u }) {
        const auto result
            = Converted(PcmFormat(1, 44100, 16), constant, PcmFormat(1, 48000, 16), interpolation);
        // Well inside the sound, away from the fade into the guard zones.
        int worst = 0;
        for (std::size_t i = 100; i + 100 < result.size(); ++i)
            worst = std::max(worst, std::abs(result[i] - 10000));
        EXPECT_LE(worst, 8) << interpolation;
    }
}

TEST(ConvertSound, SincPairSumWrapsAsThirtyTwoBits)
{
    // Full-scale samples whose signs follow the kernel's weights around the
    // half-frame position after input frame n bring one channel's 128-tap sum
    // close to the 32-bit limit; the sum of two such channels wraps before it
    // is divided, exactly as 32-bit arithmetic does.
    BuildSincTables();
    const std::size_t n = 150;
    std::vector<int> stereo;
    std::vector<int> mono;
    for (int i = 0; i < 300; ++i) {
        const int k = i - static_cast<int>(n);
        const bool positive = k <= 0 ? (-k) % 2 == 0 : k % 2 == 1;
        mono.push_back(positive ? 32767 : -32767);
        stereo.insert(stereo.end(), { mono.back(), mono.back() });
    }
    const std::int32_t d = HighResSinc(32768);
    std::int64_t sum = 0; // one channel, without wrapping
    for (int k = -63; k <= 64; ++k) {
        const std::int64_t w = d / (65536 * k - 32768);
        sum += ((k & 1) != 0 ? w : -w) * mono[n + static_cast<std::size_t>(k)];
    }
    ASSERT_LE(sum, std::int64_t { 0x7FFFFFFF });
    ASSERT_GT(2 * sum, std::int64_t { 0x7FFFFFFF }); // the pair really wraps
    const auto out = PcmFormat(1, 44100, 16);
    const auto one = Converted(PcmFormat(1, 22050, 16), mono, out, 3);
    EXPECT_EQ(one[2 * n + 1], 32767); // sum / 16384, clipped
    const auto pair = Converted(PcmFormat(2, 22050, 16), stereo, out, 3);
    const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(2 * sum));
    EXPECT_EQ(pair[2 * n + 1], std::clamp(wrapped / 32768, -32768, 32767));
}

TEST(ConvertSound, EightBitInputMatchesSixteenBitTimes256)
{
    // Every kernel widens 8-bit samples exactly as it treats 16-bit samples
    // 256 times larger, for every channel pair.
    const std::pair<int, int> pairs[] = { { 1, 1 }, { 2, 2 }, { 1, 2 }, { 2, 1 } };
    for (const auto& [inChannels, outChannels] : pairs) {
        const auto bytes = RandomValues(static_cast<std::size_t>(inChannels) * 500, -128, 127, 3);
        std::vector<int> wide(bytes);
        for (int& v : wide)
            v *= 256;
        for (const std::uint32_t interpolation : kAllInterpolations) {
            const auto out = PcmFormat(static_cast<std::uint16_t>(outChannels), 48000, 16);
            EXPECT_EQ(Converted(PcmFormat(static_cast<std::uint16_t>(inChannels), 44100, 8), bytes,
                          out, interpolation),
                Converted(PcmFormat(static_cast<std::uint16_t>(inChannels), 44100, 16), wide, out,
                    interpolation))
                << inChannels << "->" << outChannels << " " << interpolation;
        }
    }
}

TEST(ConvertSound, ChannelPairsAgreeWithEachOther)
{
    const auto mono = RandomValues(500, -20000, 20000, 4);
    std::vector<int> twin;
    for (const int v : mono)
        twin.insert(twin.end(), { v, v });
    for (const std::uint32_t interpolation : kAllInterpolations) {
        const auto one
            = Converted(PcmFormat(1, 44100, 16), mono, PcmFormat(1, 32000, 16), interpolation);
        std::vector<int> doubled;
        for (const int v : one)
            doubled.insert(doubled.end(), { v, v });
        // Mono to stereo writes the one result to both channels; a stereo
        // sound with equal channels converts channel by channel to the same,
        // and back to mono to the single channel.
        EXPECT_EQ(Converted(PcmFormat(1, 44100, 16), mono, PcmFormat(2, 32000, 16), interpolation),
            doubled);
        EXPECT_EQ(Converted(PcmFormat(2, 44100, 16), twin, PcmFormat(2, 32000, 16), interpolation),
            doubled);
        EXPECT_EQ(
            Converted(PcmFormat(2, 44100, 16), twin, PcmFormat(1, 32000, 16), interpolation), one);
    }
}

TEST(ConvertSound, RefusesWhatItCannotConvertAndLeavesSoundUnchanged)
{
    BuildSincTables();
    struct Case {
        OutputFormat in;
        OutputFormat out;
        std::uint32_t interpolation;
    };
    OutputFormat zeroAlign = PcmFormat(1, 8000, 16);
    zeroAlign.blockAlign = 0;
    OutputFormat narrowAlign = PcmFormat(2, 8000, 16);
    narrowAlign.blockAlign = 2;
    const Case cases[] = {
        { PcmFormat(1, 8000, 16), PcmFormat(1, 44100, 8), 0 }, // 8-bit output
        { PcmFormat(1, 8000, 24), PcmFormat(1, 44100, 16), 0 }, // 24-bit input
        { PcmFormat(3, 8000, 16), PcmFormat(2, 44100, 16), 0 }, // 3 channels in
        { PcmFormat(2, 8000, 16), PcmFormat(4, 44100, 16), 0 }, // 4 channels out
        { PcmFormat(0, 8000, 16), PcmFormat(1, 44100, 16), 0 }, // no channels
        { PcmFormat(1, 8000, 16), PcmFormat(1, 44100, 16), 4 }, // unknown interpolation
        { PcmFormat(1, 0, 16), PcmFormat(1, 44100, 16), 0 }, // input rate 0
        { PcmFormat(1, 8000, 16), PcmFormat(1, 0, 16), 0 }, // output rate 0
        { zeroAlign, PcmFormat(1, 44100, 16), 0 },
        { narrowAlign, PcmFormat(2, 44100, 16), 0 }, // frames narrower than their samples
        { PcmFormat(1, 256000, 16), PcmFormat(1, 1000, 16), 3 }, // ratio of 256
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SoundSlot sound;
        SetSamples(sound, PcmFormat(1, 8000, 16), { 1, 2, 3, 4 });
        sound.dataFormat = cases[i].in;
        std::uint8_t* before = sound.samples;
        EXPECT_FALSE(ConvertSound(sound, cases[i].out, cases[i].interpolation)) << i;
        EXPECT_EQ(sound.samples, before) << i;
        EXPECT_EQ(sound.sampleBytes, 8u) << i;
        EXPECT_EQ(std::memcmp(&sound.dataFormat, &cases[i].in, sizeof(OutputFormat)), 0) << i;
    }
    // Just below the ratio limit is converted.
    EXPECT_TRUE(PlanConversion(PcmFormat(1, 255999, 16), 8, PcmFormat(1, 1000, 16), 3));
}

TEST(ConvertSound, EmptySoundBecomesEmptyBlockWithGuardZones)
{
    BuildSincTables();
    for (const bool withBlock : { true, false }) {
        SoundSlot sound;
        if (withBlock)
            SetSamples(sound, PcmFormat(2, 22050, 8), {});
        else
            sound.dataFormat = PcmFormat(2, 22050, 8);
        ASSERT_TRUE(ConvertSound(sound, PcmFormat(1, 44100, 16), 3)) << withBlock;
        EXPECT_EQ(sound.sampleBytes, 0u);
        EXPECT_TRUE(GuardZonesZero(sound));
        EXPECT_EQ(sound.dataFormat.channels, 1);
    }
}
