// SPDX-License-Identifier: MIT
// Envelopes, stop modes and loops of single voices. A constant sound of 1000
// at unity gain comes out as level * 1000 / 1024, so the levels can be read
// off the output: 1024 -> 1000, 768 -> 750, 512 -> 500, 256 -> 250.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;

namespace {

struct Envelope {
    std::uint32_t attack = 0;
    std::uint32_t sustain = 0;
    std::uint32_t release = 0;
    StopEventMode mode = StopEventMode::kNormal;
    bool loops = false; // loop over the whole sound
};

// Plays a constant sound of `length` frames at 0, stops it at stopAt (if any).
V RenderEnvelope(const Envelope& e, std::uint32_t frames, std::uint32_t stopAt = kNoLoop,
    std::uint32_t length = 64)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, V(length, 1000));
    s.attackTime = e.attack;
    s.sustainTime = e.sustain;
    s.releaseTime = e.release;
    s.stopEventMode = static_cast<std::uint32_t>(e.mode);
    if (e.loops) {
        s.loopBegin = 0;
        s.loopEnd = length;
    }
    p.play(0, 0, 0);
    if (stopAt != kNoLoop)
        p.stop(0, stopAt, 0);
    return p.render(frames);
}

V Repeat(std::int16_t value, std::size_t n) { return V(n, value); }

V Concat(std::initializer_list<V> parts)
{
    V out;
    for (const V& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

} // namespace

TEST(Envelope, AttackRisesThenHolds)
{
    EXPECT_EQ(RenderEnvelope({ .attack = 4 }, 7), (V { 0, 250, 500, 750, 1000, 1000, 1000 }));
}

TEST(Envelope, SustainFadesToSilenceAndEndsTheVoice)
{
    EXPECT_EQ(RenderEnvelope({ .sustain = 4 }, 6), (V { 1000, 750, 500, 250, 0, 0 }));
    EXPECT_EQ(RenderEnvelope({ .attack = 2, .sustain = 2 }, 5), (V { 0, 500, 1000, 500, 0 }));
}

TEST(Envelope, NoAttackNoSustainHoldsUntilTheSamplesEnd)
{
    EXPECT_EQ(RenderEnvelope({}, 6, kNoLoop, 4), (V { 1000, 1000, 1000, 1000, 0, 0 }));
}

TEST(Envelope, StopStartsTheReleaseFromTheLevelReached)
{
    // From Hold: full level falling over 4 frames.
    EXPECT_EQ(RenderEnvelope({ .release = 4 }, 7, 2), (V { 1000, 1000, 1000, 750, 500, 250, 0 }));
    // During the attack (level 512 at counter 2 of 4): the release of 8 starts at
    // counter 8 - 8 * 2 / 4 = 4, whose level is 512 as well.
    EXPECT_EQ(
        RenderEnvelope({ .attack = 4, .release = 8 }, 7, 2), (V { 0, 250, 500, 375, 250, 125, 0 }));
    // During the sustain (level 768 at counter 2 of 8): release counter 4 * 2 / 8 = 1.
    EXPECT_EQ(
        RenderEnvelope({ .sustain = 8, .release = 4 }, 6, 2), (V { 1000, 875, 750, 500, 250, 0 }));
}

TEST(Envelope, StopWithoutReleaseEndsAVoiceThatDoesNotLoop)
{
    EXPECT_EQ(RenderEnvelope({}, 4, 2), (V { 1000, 1000, 0, 0 }));
    EXPECT_EQ(RenderEnvelope({ .mode = StopEventMode::kKeepLoop }, 4, 2), (V { 1000, 1000, 0, 0 }));
}

TEST(Envelope, ForcedStopEndsAtOnceDespiteARelease)
{
    EXPECT_EQ(RenderEnvelope({ .release = 8, .mode = StopEventMode::kForced }, 4, 2),
        (V { 1000, 1000, 0, 0 }));
}

TEST(Envelope, IgnoreModeLeavesTheVoicePlaying)
{
    EXPECT_EQ(
        RenderEnvelope({ .release = 8, .mode = StopEventMode::kIgnore }, 5, 2), Repeat(1000, 5));
}

TEST(Envelope, NormalStopOfALoopWithoutReleaseFreezesAndPlaysOut)
{
    // Frozen at the attack level (2 * 0x10000 / 4 = half), the loop cancelled:
    // the voice plays its remaining frames 2..5 at that level and ends.
    const Envelope e { .attack = 4, .loops = true };
    EXPECT_EQ(RenderEnvelope(e, 8, 2, 6), (V { 0, 250, 500, 500, 500, 500, 0, 0 }));
    // Frozen during the sustain: 0x10000 - 2 * 0x10000 / 4 is half as well.
    const Envelope s { .sustain = 4, .loops = true };
    EXPECT_EQ(RenderEnvelope(s, 8, 2, 6), (V { 1000, 750, 500, 500, 500, 500, 0, 0 }));
    // From Hold the level is full.
    EXPECT_EQ(
        RenderEnvelope({ .loops = true }, 7, 2, 6), (V { 1000, 1000, 1000, 1000, 1000, 1000, 0 }));
}

TEST(Envelope, KeepLoopStopWithoutReleaseLoopsOnAtItsLevelUntilAllStop)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, V(6, 1000));
    s.attackTime = 4;
    s.loopBegin = 0;
    s.loopEnd = 6;
    s.stopEventMode = static_cast<std::uint32_t>(StopEventMode::kKeepLoop);
    p.play(0, 0, 0).stop(0, 2, 0).event(0, 30, EventType::kAllStop);
    EXPECT_EQ(p.render(32), Concat({ V { 0, 250 }, Repeat(500, 28), V { 0, 0 } }));
}

TEST(Envelope, KeepLoopStopWithReleaseFadesWhileLooping)
{
    const Envelope e { .release = 4, .mode = StopEventMode::kKeepLoop, .loops = true };
    EXPECT_EQ(RenderEnvelope(e, 8, 2, 3), (V { 1000, 1000, 1000, 750, 500, 250, 0, 0 }));
}

TEST(Envelope, StoppedVoiceIgnoresLaterStops)
{
    // The second Stop finds no held voice: the release runs on undisturbed.
    TestProject p(1);
    SoundSlot& s = p.sound(0, V(64, 1000));
    s.releaseTime = 4;
    p.play(0, 0, 0).stop(0, 1, 0).stop(0, 2, 0);
    EXPECT_EQ(p.render(6), (V { 1000, 1000, 750, 500, 250, 0 }));
}

TEST(Loops, WrapBetweenLoopBeginAndEnd)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, { 10, 20, 30, 40, 50 });
    s.loopBegin = 1;
    s.loopEnd = 4;
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(8), (V { 10, 20, 30, 40, 20, 30, 40, 20 }));
}

TEST(Loops, WrapKeepsTheOvershootAtDoubleSpeed)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, { 10, 20, 30, 40, 50 });
    s.loopBegin = 1;
    s.loopEnd = 4;
    p.play(0, 0, 0, 1024, 2 * kPitchOne);
    // Index 0, 2, 4 -> 1, 3, 5 -> 2, 4 -> 1.
    EXPECT_EQ(p.render(6), (V { 10, 30, 20, 40, 30, 20 }));
}

TEST(Loops, LoopEndBeyondTheSamplesPlaysOnce)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, { 10, 20, 30 });
    s.loopBegin = 0;
    s.loopEnd = 4;
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(5), (V { 10, 20, 30, 0, 0 }));
}

TEST(Loops, LoopBeginNotBeforeLoopEndStopsAtLoopEnd)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, { 10, 20, 30, 40, 50 });
    s.loopBegin = 3;
    s.loopEnd = 2;
    p.play(0, 0, 0);
    EXPECT_EQ(p.render(4), (V { 10, 20, 0, 0 }));
}
