// SPDX-License-Identifier: MIT
// Damaged and hostile MIDI files: every one must be refused cleanly or
// imported into well-formed tracks, never read past its bytes.

#include "ImportTestUtil.h"
#include "MidiBytes.h"
#include "import/MidiImport.h"

#include <gtest/gtest.h>
#include <random>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;

namespace {

// Tracks 0-15 hold sorted events that exist, with times within the edit
// ceiling, each followed by the sentinel.
void ExpectWellFormed(const Project& project)
{
    for (std::size_t t = 0; t < 16; ++t) {
        const Track& track = project.tracks[t];
        ASSERT_NE(track.events, nullptr);
        ASSERT_EQ(track.events[track.count].time, kSentinelTime);
        ASSERT_TRUE(IsSortedByTime(track));
        for (std::uint32_t i = 0; i < track.count; ++i) {
            ASSERT_EQ(track.events[i].flags, kEventExists);
            ASSERT_LE(track.events[i].time, kMaxEditTime);
            ASSERT_LE(track.events[i].type, EventTypeWord(EventType::kPitch));
        }
    }
}

Bytes SampleFile()
{
    return MidiBytes(96)
        .track(MidiTrack()
                   .tempo(0, 400000)
                   .at(0, { 0xFF, 0x03, 0x02, 'h', 'i' })
                   .tempo(96, 600000)
                   .end())
        .track(MidiTrack()
                   .program(0, 0, 4)
                   .noteOn(0, 0, 60, 100)
                   .at(10, { 0x3E, 0x50 })
                   .at(0, { 0xF0, 0x03, 0x7E, 0x7F, 0xF7 })
                   .bend(5, 0, 0x10, 0x50)
                   .noteOff(90, 0, 60)
                   .end())
        .track(MidiTrack().noteOn(48, 9, 36, 127).control(0, 9, 7, 90).noteOn(48, 9, 36, 0).end())
        .bytes();
}

} // namespace

TEST(MidiRobustness, EveryTruncationIsRefused)
{
    const Bytes file = SampleFile();
    auto project = NewProject();
    ASSERT_TRUE(ImportMidiFile(*project, file));
    EXPECT_EQ(EventCount(*project), 7u);
    for (std::size_t length = 0; length < file.size(); ++length) {
        // Copy, so that reading past the end is caught by the sanitizers.
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(ImportMidiFile(*project, cut)) << "length " << length;
    }
}

TEST(MidiRobustness, LyingChunkLengthsFailOrEndTheTrack)
{
    const Bytes file = SampleFile();
    auto project = NewProject();
    // The offsets of the three chunk length fields.
    std::vector<std::size_t> lengthFields;
    for (std::size_t at = 14; at + 8 <= file.size();) {
        lengthFields.push_back(at + 4);
        at += 8
            + (std::size_t { file[at + 4] } << 24 | std::size_t { file[at + 5] } << 16
                | std::size_t { file[at + 6] } << 8 | file[at + 7]);
    }
    ASSERT_EQ(lengthFields.size(), 3u);
    for (const std::size_t field : lengthFields) {
        for (const std::uint32_t length : { 0u, 1u, 5u, 17u, 0x7FFFFFFFu, 0xFFFFFFFFu }) {
            Bytes bad = file;
            for (int k = 0; k < 4; ++k)
                bad[field + k] = static_cast<std::uint8_t>(length >> (24 - 8 * k));
            if (ImportMidiFile(*project, bad))
                ExpectWellFormed(*project);
        }
    }
    // Claiming one byte more than the last chunk holds runs past the end.
    Bytes longer = file;
    longer[lengthFields.back() + 3] += 1;
    platform::ReadError reason;
    EXPECT_FALSE(ImportMidiFile(*project, longer, &reason));
    EXPECT_EQ(reason.code, platform::ReadErrorCode::kChunkPastEnd);
    EXPECT_EQ(reason.offset, lengthFields.back() - 4); // the chunk's tag
}

TEST(MidiRobustness, RandomTrackBytesImportWellFormedOrFail)
{
    std::mt19937 random(12345);
    // Bytes that steer the reader: statuses, VLQ continuations, meta types.
    const std::uint8_t interesting[] = { 0x00, 0x7F, 0x80, 0x81, 0x90, 0x9F, 0xB0, 0xC0, 0xE0, 0xF0,
        0xF4, 0xF7, 0xF8, 0xFD, 0xFF, 0x51, 0x2F, 0x03 };
    auto project = NewProject(Compatibility::kAutoTrack);
    for (int round = 0; round < 2000; ++round) {
        MidiBytes builder(static_cast<std::uint16_t>(1 + random() % 1000));
        const int tracks = 1 + static_cast<int>(random() % 4);
        for (int t = 0; t < tracks; ++t) {
            MidiTrack track;
            const int length = static_cast<int>(random() % 200);
            for (int i = 0; i < length; ++i) {
                const std::uint8_t b = random() % 2 == 0
                    ? interesting[random() % std::size(interesting)]
                    : static_cast<std::uint8_t>(random());
                track.raw({ b });
            }
            builder.track(track);
        }
        ASSERT_TRUE(ImportMidiFile(*project, builder.bytes())) << "round " << round;
        ExpectWellFormed(*project);
    }
}

TEST(MidiRobustness, RandomFilesFailCleanly)
{
    std::mt19937 random(777);
    auto project = NewProject();
    for (int round = 0; round < 500; ++round) {
        Bytes bytes(random() % 64);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        if (round % 2 == 0 && bytes.size() >= 4)
            std::copy_n("MThd", 4, bytes.begin());
        if (ImportMidiFile(*project, bytes))
            ExpectWellFormed(*project);
    }
}

TEST(MidiRobustness, ManyFileTracksMergeInFileOrder)
{
    // The largest track count a header can announce, each track one note at
    // tick 0 on channel 1: the channel's track lists them in file order.
    MidiBytes builder;
    constexpr std::uint32_t kTracks = 65535;
    for (std::uint32_t i = 0; i < kTracks; ++i)
        builder.track(MidiTrack().noteOn(0, 0, static_cast<std::uint8_t>(i % 128), 1));
    auto project = NewProject(Compatibility::kDrum);
    ASSERT_TRUE(ImportMidiFile(*project, builder.bytes()));
    const Track& track = project->tracks[0];
    ASSERT_EQ(track.count, kTracks);
    for (std::uint32_t i = 0; i < kTracks; ++i)
        ASSERT_EQ(track.events[i].data1, i % 128) << "event " << i;
}
