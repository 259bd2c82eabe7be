// SPDX-License-Identifier: MIT
// The effect of every event type, slot choice and links. Sounds are constant
// so that each voice's share of the mono output can be told apart by value.

#include "EngineTestSupport.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;

namespace {

void SetLink(SoundSlot& s, std::uint32_t linkedId, LinkingMode mode)
{
    s.linkedId = linkedId;
    s.linkingMode = static_cast<std::uint32_t>(mode);
}

void SetMode(SoundSlot& s, StopEventMode mode)
{
    s.stopEventMode = static_cast<std::uint32_t>(mode);
}

} // namespace

TEST(Events, PlaysOfEqualTimeStartTogetherBeforeTheFrame)
{
    TestProject p(1);
    p.sound(0, V(8, 1000));
    p.play(0, 1, 0).play(0, 1, 0);
    EXPECT_EQ(p.render(3), (V { 0, 2000, 2000 }));
}

TEST(Events, EventsOfEqualTimeApplyInListOrder)
{
    TestProject stopFirst(1);
    SetMode(stopFirst.sound(0, V(8, 1000)), StopEventMode::kForced);
    stopFirst.stop(0, 1, 0).play(0, 1, 0);
    EXPECT_EQ(stopFirst.render(3), (V { 0, 1000, 1000 }));

    TestProject playFirst(1);
    SetMode(playFirst.sound(0, V(8, 1000)), StopEventMode::kForced);
    playFirst.play(0, 1, 0).stop(0, 1, 0);
    EXPECT_EQ(playFirst.render(3), (V { 0, 0, 0 }));
}

TEST(Events, OnlyEventsWithTheExistsFlagAndAKnownTypeApply)
{
    TestProject p(1);
    p.sound(0, V(8, 1000));
    p.event(0, 0, EventType::kPlay, 0, 1024, kPitchOne, kEventSelected);
    p.event(0, 1, static_cast<EventType>(7), 0, 1024, kPitchOne);
    p.event(0, 2, EventType::kPlay, 0, 1024, kPitchOne, kEventExists | kEventSelected);
    EXPECT_EQ(p.render(3), (V { 0, 0, 1000 }));
}

TEST(Events, PlayOfAMissingSoundDoesNothing)
{
    TestProject p(1);
    SetLink(p.sound(0, V(8, 1000)), 1, LinkingMode::kPlay);
    p.play(0, 0, 1024).play(0, 0, 0xFFFFFFFF).play(0, 0, 5); // no such IDs, no samples in 5
    EXPECT_EQ(p.render(2), (V { 0, 0 }));
    TestProject q(1);
    SetLink(q.sound(0, V(8, 1000)), 4000, LinkingMode::kPlay);
    q.play(0, 0, 0);
    EXPECT_EQ(q.render(2), (V { 1000, 1000 }));
}

TEST(Events, PlayOlderDropsAPlayWhenEveryVoiceIsBusy)
{
    TestProject p(1);
    p.settings().soundCountPerTrack = 2;
    p.settings().playingPriority = 0;
    p.sound(0, V(8, 100));
    p.sound(1, V(8, 200));
    SetLink(p.sound(2, V(8, 400)), 3, LinkingMode::kPlay);
    p.sound(3, V(8, 1));
    p.play(0, 0, 0).play(0, 0, 1).play(0, 1, 2);
    EXPECT_EQ(p.render(3), (V { 300, 300, 300 }));
}

TEST(Events, PlayNewerReplacesTheVoiceFurthestIntoItsSamples)
{
    TestProject p(1);
    p.settings().soundCountPerTrack = 2;
    p.sound(0, V(8, 100));
    p.sound(1, V(8, 200));
    p.sound(2, V(8, 400));
    p.play(0, 0, 0).play(0, 1, 1).play(0, 3, 2);
    EXPECT_EQ(p.render(4), (V { 100, 300, 300, 600 }));
}

TEST(Events, PlayNewerOnATieReplacesTheLowerSlot)
{
    TestProject p(1);
    p.settings().soundCountPerTrack = 2;
    p.sound(0, V(8, 100));
    p.sound(1, V(8, 200));
    p.sound(2, V(8, 400));
    p.play(0, 0, 0).play(0, 0, 1).play(0, 1, 2);
    EXPECT_EQ(p.render(2), (V { 300, 600 }));
}

TEST(Events, PlayNewerPrefersAReleasedVoice)
{
    TestProject p(1);
    p.settings().soundCountPerTrack = 2;
    p.sound(0, V(8, 200));
    p.sound(1, V(8, 100)).releaseTime = 1000;
    p.sound(2, V(8, 400));
    // Sound 0 is further into its samples, but sound 1 has been released.
    p.play(0, 0, 0).play(0, 1, 1).stop(0, 2, 1).play(0, 3, 2);
    EXPECT_EQ(p.render(4), (V { 200, 300, 300, 600 }));
}

TEST(Events, SoundCountZeroLeavesTheTrackSilent)
{
    for (std::uint32_t priority : { 0u, 1u }) {
        TestProject p(1);
        p.settings().soundCountPerTrack = 0;
        p.settings().playingPriority = priority;
        p.sound(0, V(8, 1000));
        p.play(0, 0, 0).play(0, 1, 0);
        EXPECT_EQ(p.render(3), (V { 0, 0, 0 }));
    }
}

TEST(Events, StoredSoundCountAboveTheSlotTableUsesEverySlot)
{
    TestProject p(1);
    p.settings().soundCountPerTrack = 1000;
    p.sound(0, V(8, 10));
    for (int i = 0; i < 70; ++i)
        p.play(0, 0, 0);
    EXPECT_EQ(p.render(1), (V { 640 }));
    p.settings().playingPriority = 0;
    EXPECT_EQ(p.render(1), (V { 640 }));
}

TEST(Events, StopMatchesByIdAndPitch)
{
    const std::uint32_t high = kPitchOne + 1;
    auto build = [&](std::uint32_t stopPitch, std::uint32_t rules) {
        TestProject p(1);
        p.settings().stoppingRules = rules;
        p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
        p.sound(0, V(8, 1000));
        p.sound(1, V(8, 1));
        p.play(0, 0, 0, 1024, kPitchOne)
            .play(0, 0, 0, 1024, high)
            .play(0, 0, 1)
            .stop(0, 1, 0, stopPitch);
        return p.render(2)[1];
    };
    EXPECT_EQ(build(kPitchOne, 1), 1001); // only the voice of that pitch
    EXPECT_EQ(build(0, 1), 1); // pitch 0 matches every voice of the sound
    EXPECT_EQ(build(7, 1), 2001); // no voice of that pitch
    EXPECT_EQ(build(7, 0), 1); // "By ID" does not look at the pitch
}

TEST(Events, AllStopSilencesEveryVoiceWithoutRelease)
{
    TestProject p(1);
    p.sound(0, V(8, 1000)).releaseTime = 100;
    p.sound(1, V(8, 10));
    p.play(0, 0, 0).play(0, 0, 1).event(0, 1, EventType::kAllStop).play(0, 2, 1);
    EXPECT_EQ(p.render(3), (V { 1010, 0, 10 }));
}

TEST(Events, LinksPassPlayAndStopAsTheirModeSays)
{
    struct Case {
        LinkingMode mode;
        V expected;
    };
    // Play 0 at frame 0 (linked to 1), Stop 0 at frame 2; sound 1 alone is played at frame 1.
    const Case cases[] = {
        { LinkingMode::kDisabled, { 1000, 1010, 10, 10 } },
        { LinkingMode::kAllEvents, { 1010, 1020, 0, 0 } },
        { LinkingMode::kPlay, { 1010, 1020, 20, 20 } },
        { LinkingMode::kStop, { 1000, 1010, 0, 0 } },
    };
    for (const Case& c : cases) {
        TestProject p(1);
        SetLink(p.sound(0, V(8, 1000)), 1, c.mode);
        p.sound(1, V(8, 10));
        p.play(0, 0, 0).play(0, 1, 1).stop(0, 2, 0);
        EXPECT_EQ(p.render(4), c.expected) << static_cast<int>(c.mode);
    }
}

TEST(Events, IgnoreModeStillPassesEveryStopToItsLink)
{
    TestProject p(1);
    SoundSlot& s = p.sound(0, V(16, 1000));
    SetMode(s, StopEventMode::kIgnore);
    SetLink(s, 1, LinkingMode::kStop);
    p.sound(1, V(16, 10));
    p.play(0, 0, 0).play(0, 0, 1).stop(0, 1, 0).play(0, 2, 1).stop(0, 3, 0);
    EXPECT_EQ(p.render(4), (V { 1010, 1000, 1010, 1000 }));
}

TEST(Events, LinkChainsFollowEveryStep)
{
    TestProject p(1);
    SetLink(p.sound(0, V(8, 1)), 1, LinkingMode::kAllEvents);
    SetLink(p.sound(1, V(8, 10)), 2, LinkingMode::kAllEvents);
    p.sound(2, V(8, 100));
    p.play(0, 0, 0).stop(0, 1, 0);
    EXPECT_EQ(p.render(2), (V { 111, 0 }));
}

TEST(Events, CircularLinksTerminate)
{
    // The mix command refuses such projects; the engine must still stop.
    TestProject p(1);
    p.settings().soundCountPerTrack = 4;
    SoundSlot& a = p.sound(0, V(8, 1));
    SoundSlot& b = p.sound(1, V(8, 10));
    SetLink(a, 1, LinkingMode::kAllEvents);
    SetLink(b, 0, LinkingMode::kAllEvents);
    SetMode(a, StopEventMode::kIgnore);
    SetMode(b, StopEventMode::kIgnore);
    p.play(0, 0, 0).stop(0, 1, 0);
    const V out = p.render(2);
    EXPECT_EQ(p.state().tracks[0].activeVoices, 4u);
    EXPECT_EQ(out[0], out[1]); // in Ignore mode the Stop changes no voice
}

TEST(Events, StopsFanningOutThroughIgnoredVoicesAreBounded)
{
    // Twenty sounds in a chain of Stop links, three held voices each, all in
    // Ignore mode: every matched voice passes the Stop on, 3^20 Stops in all
    // unless the engine bounds the linked events of one event.
    TestProject p(1);
    p.settings().soundCountPerTrack = 64;
    for (std::uint32_t id = 0; id < 20; ++id) {
        SoundSlot& s = p.sound(id, V(8, 1));
        SetMode(s, StopEventMode::kIgnore);
        SetLink(s, id + 1, LinkingMode::kStop);
        p.play(0, 0, id).play(0, 0, id).play(0, 0, id);
    }
    p.stop(0, 1, 0);
    EXPECT_EQ(p.render(2), (V { 60, 60 }));
}

TEST(Events, VolumeAndBalanceSetTheTrack)
{
    TestProject p(1);
    p.sound(0, V(8, -3));
    p.play(0, 0, 0).event(0, 1, EventType::kVolume, 512).event(0, 2, EventType::kBalance, 0);
    // (-3 * 1024 / 1024) * 512 = -1536 -> -1536 / 1024 truncates to -1; mono ignores balance.
    EXPECT_EQ(p.render(3), (V { -3, -1, -1 }));
}

TEST(Events, StressChangesSoundingVoicesWhenEnabled)
{
    for (std::uint32_t enabled : { 1u, 0u }) {
        TestProject p(1);
        p.settings().changingStress = enabled;
        p.sound(0, V(8, 1000)).releaseTime = 1000;
        p.sound(1, V(8, 100));
        // Sound 0 is released when the Stress arrives; both voices follow it.
        p.play(0, 0, 0).play(0, 0, 1).stop(0, 1, 0).event(0, 2, EventType::kStress, 512);
        const V out = p.render(3);
        // Released over 1000 frames, counter 1 at frame 2: level g - g / 1000.
        if (enabled != 0)
            EXPECT_EQ(out, (V { 1100, 1100, 550 })); // (512 * 1000 + 512 * 100) / 1024
        else
            EXPECT_EQ(out, (V { 1100, 1100, 1099 })); // (1023 * 1000 + 1024 * 100) / 1024
    }
}

TEST(Events, PitchChangesSoundingVoicesWhenEnabled)
{
    for (std::uint32_t enabled : { 1u, 0u }) {
        TestProject p(1);
        p.settings().changingPitch = enabled;
        p.sound(0, { 0, 10, 20, 30, 40, 50, 60, 70, 80, 90 });
        p.play(0, 0, 0).event(0, 2, EventType::kPitch, 2 * kPitchOne);
        const V out = p.render(7);
        if (enabled != 0)
            EXPECT_EQ(out, (V { 0, 10, 20, 40, 60, 80, 0 }));
        else
            EXPECT_EQ(out, (V { 0, 10, 20, 30, 40, 50, 60 }));
    }
}

TEST(Events, MuteAndSoloAreHonouredOnlyWhenAsked)
{
    TestProject p(1);
    p.sound(0, V(8, 1));
    p.sound(1, V(8, 10));
    p.sound(2, V(8, 100));
    p.play(0, 0, 0).play(1, 0, 1).play(2, 0, 2);
    p.project().tracks[1].flags = kTrackMuted;
    EXPECT_EQ(p.render(1, false), (V { 111 }));
    EXPECT_EQ(p.render(1, true), (V { 101 }));
    p.project().tracks[2].flags = kTrackSolo;
    p.project().tracks[5].flags = kTrackSolo; // a soloed track without events counts too
    EXPECT_EQ(p.render(1, true), (V { 100 }));
    EXPECT_EQ(p.render(1, false), (V { 111 }));
}

TEST(CompactVoices, MovesLaterVoicesDownIntoGapsInOrder)
{
    TrackMixState track;
    for (std::uint32_t i = 0; i < 5; ++i)
        track.voices[i] = Voice { .active = (i % 2 == 0) ? 1u : 0u, .soundId = i };
    track.slotCount = 5;
    track.activeVoices = 3;
    engine::CompactVoices(track);
    EXPECT_EQ(track.slotCount, 3u);
    EXPECT_EQ(track.voices[0].soundId, 0u);
    EXPECT_EQ(track.voices[1].soundId, 4u);
    EXPECT_EQ(track.voices[2].soundId, 2u);
    EXPECT_EQ(track.voices[3].active + track.voices[4].active, 0u);

    track.activeVoices = 0;
    engine::CompactVoices(track);
    EXPECT_EQ(track.slotCount, 0u);
}
