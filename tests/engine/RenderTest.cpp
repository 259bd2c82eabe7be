// SPDX-License-Identifier: MIT
// Rendering as a whole: the final scaling, the balance law, clipping, the
// refusals and the splitting of long renders into blocks.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::test::Channel;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;

TEST(Render, SumsOfLoudVoicesClipOnlyAtTheOutput)
{
    TestProject p(1);
    p.sound(0, { 30000, -30000, 30000 });
    p.play(0, 0, 0).play(0, 0, 0).play(1, 0, 0);
    p.sound(1, { -30000, 30000, 0 });
    p.play(2, 2, 1).play(3, 2, 1);
    // 90000, -90000, then 90000 - 60000 = 30000: nothing wraps or saturates early.
    EXPECT_EQ(p.render(3), (V { 32767, -32768, 30000 }));
}

TEST(Render, MasterVolumeScalesAndDividesTowardZero)
{
    TestProject p(1);
    p.settings().masterVolume = 2048;
    p.sound(0, { 1000, -3 });
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(2), (V { 2000, -6 }));
    p.settings().masterVolume = 512;
    EXPECT_EQ(p.render(2), (V { 500, -1 })); // -3 * 1024 * 512 / 1024 / 1024 truncates to -1
}

TEST(Render, StereoBalanceIsLinearAndUnityAtTheCentre)
{
    TestProject p(2);
    p.sound(0, { 1000, -1000 });
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(1), (V { 1000, -1000 }));

    // Track balance 0: the left side doubled, the right silent.
    p.event(0, 0, EventType::kBalance, 0);
    EXPECT_EQ(p.render(1), (V { 2000, 0 }));

    // Track balance 0 and master balance 1024: everything cancels.
    p.settings().masterBalance = 1024;
    EXPECT_EQ(p.render(1), (V { 0, 0 }));

    // Master balance 768: left * 256 / 512, right * 768 / 512.
    TestProject q(2);
    q.settings().masterBalance = 768;
    q.sound(0, { 1000, -1000 });
    q.play(0, 0, 0);
    EXPECT_EQ(q.render(1), (V { 500, -1500 }));
}

TEST(Render, MonoIgnoresTrackAndMasterBalance)
{
    TestProject p(1);
    p.settings().masterBalance = 0;
    p.sound(0, { 1000 });
    p.play(0, 0, 0).event(0, 0, EventType::kBalance, 1024);
    EXPECT_EQ(p.render(1), (V { 1000 }));
}

TEST(Render, OutputWithOtherChannelCountsIsRefusedUntouched)
{
    TestProject p(3);
    p.play(0, 0, 0);
    ASSERT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
    std::vector<std::int16_t> out(30, 7);
    EXPECT_FALSE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 10));
    EXPECT_EQ(out, V(30, 7));
    EXPECT_EQ(p.state().position, 10u);
}

TEST(Render, InterpolationAboveThreeRendersSilence)
{
    TestProject p(1);
    p.settings().mixingInterpolation = 4;
    p.sound(0, { 1000, 1000 });
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(2), (V { 0, 0 }));
}

TEST(Render, PositionNeverReachesTheSentinelTime)
{
    TestProject p(1);
    p.settings().positionWord = 0xFFFFFF00u; // the starting position is taken from the settings
    ASSERT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
    std::vector<std::int16_t> out(0x100, 7);
    EXPECT_FALSE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 0xFF));
    EXPECT_EQ(out[0], 7);
    EXPECT_TRUE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 0xFE));
    EXPECT_EQ(p.state().position, 0xFFFFFFFEu);
    EXPECT_FALSE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 1));
    EXPECT_TRUE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 0));

    ASSERT_TRUE(engine::SeekMix(p.project(), p.state(), 0));
    EXPECT_FALSE(engine::RenderMix(p.project(), p.state(), p.setup(), out.data(), 0xFFFFFFFFu));
}

TEST(Render, RefusesAMixThatWasNotPrepared)
{
    TestProject p(1);
    std::int16_t out[4] = { 7, 7, 7, 7 };
    EXPECT_FALSE(engine::RenderMix(p.project(), p.state(), p.setup(), out, 4));
    EXPECT_EQ(out[0], 7);
}

TEST(Render, LongRendersEqualBlockByBlockRenders)
{
    TestProject p(2);
    p.settings().bufferLength = 1024;
    V samples;
    for (int i = 0; i < 6000; ++i)
        samples.push_back(static_cast<std::int16_t>((i * 37) % 20000 - 10000));
    p.sound(0, samples).attackTime = 1500;
    p.play(0, 0, 0, 1024, kPitchOne / 3 * 2)
        .play(1, 700, 0)
        .stop(0, 2100, 0)
        .event(1, 3000, EventType::kPitch, kPitchOne * 2);
    const V whole = p.render(5000);
    ASSERT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
    V pieces;
    for (std::uint32_t n : { 1u, 1023u, 2u, 1500u, 2474u }) {
        const V part = p.renderMore(n);
        pieces.insert(pieces.end(), part.begin(), part.end());
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(Channel(whole, 0, 2).size(), 5000u);
}

TEST(Render, StoredBlockLengthOutOfRangeIsCorrectedForTheMix)
{
    TestProject p(1);
    p.settings().bufferLength = 0;
    p.sound(0, { 5, 6, 7 });
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(4), (V { 5, 6, 7, 0 }));
    EXPECT_EQ(p.state().settings.bufferLength, 1024u);
    EXPECT_EQ(p.state().accumulator.size(), 1024u);
}

TEST(Render, SoundsNotInTheOutputLayoutAreNotPlayed)
{
    TestProject p(2);
    p.sound(0, { 1000, 1000, 1000, 1000 }).dataFormat.channels = 1; // read past the end as stereo
    p.sound(1, { 1000, 1000, 1000, 1000 }).dataFormat.bitsPerSample = 8;
    p.play(0, 0, 0).play(0, 0, 1);
    EXPECT_EQ(p.render(2), (V { 0, 0, 0, 0 }));
}

TEST(Render, FrameSizeComesFromChannelsNotFromAStoredBlockAlign)
{
    // A stored format whose block align disagrees with its channels: the
    // samples are still 16-bit frames of the output layout.
    TestProject p(2);
    p.sound(0, { 1000, -1000, 2000, -2000 }).dataFormat.blockAlign = 1;
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(3), (V { 1000, -1000, 2000, -2000, 0, 0 }));
}
