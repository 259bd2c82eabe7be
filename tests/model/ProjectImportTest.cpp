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
