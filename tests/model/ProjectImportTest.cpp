// SPDX-License-Identifier: MIT
#include "model/ProjectImport.h"

#include "model/EventList.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vellisto;

namespace {

std::unique_ptr<Project> ProjectAtRate(std::uint32_t rate)
{
    auto project = CreateProject();
    project->settings.outputFormat.samplesPerSecond = rate;
    CompleteOutputFormat(project->settings.outputFormat);
    return project;
}

void SetEvents(Track& track, std::initializer_list<std::uint32_t> times)
{
    ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(times.size())));
    std::uint32_t i = 0;
    for (std::uint32_t time : times) {
        track.events[i] = { kEventExists, time, 0, i, 0, 0 };
        ++i;
    }
}

} // namespace

TEST(ProjectImport, SoundListFromLowerRateDoublesFrameCountsAndKeepsNoLoop)
{
    auto kit = ProjectAtRate(22050);
    SoundSlot& source = kit->sounds[7];
    source.fileName[0] = u'k';
    source.setWords({ 1024, 1u << 24, 1000, kNoLoop, 2, 9, 1, 10, 20, 30, 0xAB, 0xCD });

    auto project = ProjectAtRate(44100);
    project->sounds[3].fileName[0] = u'x'; // replaced by the kit's empty slot
    CopySoundList(*project, *kit);

    const SoundSlot& copied = project->sounds[7];
    EXPECT_EQ(copied.fileName[0], u'k');
    EXPECT_EQ(copied.loopBegin, 2000u);
    EXPECT_EQ(copied.loopEnd, kNoLoop);
    EXPECT_EQ(copied.attackTime, 20u);
    EXPECT_EQ(copied.sustainTime, 40u);
    EXPECT_EQ(copied.releaseTime, 60u);
    // Volume, pitch, modes, link and the reserved words are not frame counts.
    EXPECT_EQ(copied.volume, 1024u);
    EXPECT_EQ(copied.pitch, 1u << 24);
    EXPECT_EQ(copied.stopEventMode, 2u);
    EXPECT_EQ(copied.linkedId, 9u);
    EXPECT_EQ(copied.linkingMode, 1u);
    EXPECT_EQ(copied.reserved1, 0xABu);
    EXPECT_EQ(copied.reserved2, 0xCDu);
    EXPECT_TRUE(project->sounds[3].empty());
    EXPECT_EQ(project->settings.outputFormat.samplesPerSecond, 44100u);
}

TEST(ProjectImport, LoweringTheRateHalvesAndTurnsNoLoopIntoLargestTime)
{
    auto project = ProjectAtRate(44100);
    project->sounds[0].loopBegin = 3;
    project->sounds[0].loopEnd = kNoLoop;
    SetEvents(project->tracks[5], { 0, 3, 44100, 88201 });

    RescaleProjectTimes(*project, 22050);

    EXPECT_EQ(project->sounds[0].loopBegin, 1u); // 1.5 truncated
    EXPECT_EQ(project->sounds[0].loopEnd, 0x7FFFFFFFu);
    const Track& track = project->tracks[5];
    EXPECT_EQ(track.events[0].time, 0u);
    EXPECT_EQ(track.events[1].time, 1u);
    EXPECT_EQ(track.events[2].time, 22050u);
    EXPECT_EQ(track.events[3].time, 44100u);
    EXPECT_EQ(track.events[4].time, kSentinelTime);
}

TEST(ProjectImport, RaisedTimesClampAtTheirCeilings)
{
    EXPECT_EQ(RescaleEventTime(0x40000000u, 44100, 22050), 0x7FFFFFFFu);
    EXPECT_EQ(RescaleEventTime(0x3FFFFFFFu, 44100, 22050), 0x7FFFFFFEu);
    EXPECT_EQ(RescaleSoundFrames(0x80000000u, 44100, 22050), 0xFFFFFFFFu);
    EXPECT_EQ(RescaleSoundFrames(0x7FFFFFFFu, 44100, 22050), 0xFFFFFFFEu);
    // The product needs 64 bits: 4e9 x 96000 overflows 32.
    EXPECT_EQ(RescaleSoundFrames(4000000000u, 96000, 192000), 2000000000u);
}

TEST(ProjectImport, ZeroSourceRateLeavesValuesAlone)
{
    EXPECT_EQ(RescaleSoundFrames(1234, 44100, 0), 1234u);
    EXPECT_EQ(RescaleEventTime(1234, 44100, 0), 1234u);
}

TEST(ProjectImport, TrackListReplacesEventsAndKeepsFlags)
{
    auto other = ProjectAtRate(22050);
    SetEvents(other->tracks[1], { 10, 20 });
    other->tracks[1].flags = kTrackSolo;

    auto project = ProjectAtRate(44100);
    SetEvents(project->tracks[1], { 5, 6, 7 });
    SetEvents(project->tracks[2], { 5 });
    project->tracks[1].flags = kTrackMuted;

    ASSERT_TRUE(CopyTrackList(*project, *other));
    const Track& track = project->tracks[1];
    ASSERT_EQ(track.count, 2u);
    EXPECT_EQ(track.events[0].time, 20u);
    EXPECT_EQ(track.events[1].time, 40u);
    EXPECT_EQ(track.events[2].time, kSentinelTime);
    EXPECT_EQ(track.flags, kTrackMuted);
    EXPECT_EQ(project->tracks[2].count, 0u);
}

TEST(ProjectImport, StoredPartsCopyTakesEventsFlagsAndSettingsButNotSamples)
{
    auto source = ProjectAtRate(48000);
    source->settings.masterVolume = 77;
    source->tracks[63].flags = kTrackSolo | kTrackMuted;
    SetEvents(source->tracks[63], { 1, 2 });
    source->sounds[1023].fileName[0] = u'a';
    source->sounds[1023].pitch = 5;
    source->conversionMode = 3;

    auto copy = CreateProject();
    ASSERT_TRUE(CopyStoredParts(*copy, *source));
    EXPECT_EQ(copy->settings.masterVolume, 77u);
    EXPECT_EQ(copy->settings.outputFormat.samplesPerSecond, 48000u);
    EXPECT_EQ(copy->tracks[63].flags, kTrackSolo | kTrackMuted);
    ASSERT_EQ(copy->tracks[63].count, 2u);
    EXPECT_NE(copy->tracks[63].events.get(), source->tracks[63].events.get());
    EXPECT_EQ(copy->sounds[1023].fileName[0], u'a');
    EXPECT_EQ(copy->sounds[1023].pitch, 5u);
    EXPECT_EQ(copy->conversionMode, 0u);
}
