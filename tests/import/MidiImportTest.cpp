// SPDX-License-Identifier: MIT
#include "import/MidiImport.h"

#include "ImportTestUtil.h"
#include "MidiBytes.h"
#include "import/MidiClock.h"
#include "model/EventList.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;
using vellisto::platform::DescribeReadError;
using vellisto::platform::ReadError;
using vellisto::platform::ReadErrorCode;

namespace {

constexpr std::uint32_t kPitch60 = 9975792; // middle C
constexpr std::uint32_t kPitch127 = 478297607;

// Imports a one-track file holding the given body.
std::vector<Ev> ImportOneTrack(Project& project, const MidiTrack& track, std::uint32_t channel = 0)
{
    const Bytes file = MidiBytes().track(track).bytes();
    EXPECT_TRUE(ImportMidiFile(project, file));
    return Events(project.tracks[channel]);
}

} // namespace

TEST(MidiImport, QuarterNoteLastsHalfASecondAtTheDefaultTempo)
{
    // 500000 us per quarter note: 44100 / 2 / 480 = 45.9375 frames per tick.
    EXPECT_EQ(TickDurationFx24(500000, 44100, 480), 770703360u);
    EXPECT_EQ(TickDurationFx24(500000, 48000, 96), 250ull << 24);

    auto project = NewProject(Compatibility::kDrum);
    const auto events = ImportOneTrack(*project,
        MidiTrack().noteOn(0, 0, 60, 127).noteOn(240, 0, 62, 127).noteOn(240, 0, 64, 127).end());
    EXPECT_EQ(events,
        (std::vector<Ev> { { 0, EventType::kPlay, 60, 1024, kOne },
            { 11025, EventType::kPlay, 62, 1024, kOne },
            { 22050, EventType::kPlay, 64, 1024, kOne } }));
}

TEST(MidiImport, TempoMapInTheFirstTrackTimesNotesInTheSecond)
{
    // Half a second per quarter, then a quarter of a second from tick 480.
    const Bytes file = MidiBytes()
                           .track(MidiTrack().tempo(0, 500000).tempo(480, 250000).end())
                           .track(MidiTrack()
                                      .noteOn(240, 0, 60, 127)
                                      .noteOn(720, 0, 60, 127)
                                      .noteOn(480, 0, 60, 127)
                                      .end())
                           .bytes();
    auto project = NewProject(Compatibility::kDrum);
    ASSERT_TRUE(ImportMidiFile(*project, file));
    const auto events = Events(project->tracks[0]);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].time, 11025u); // tick 240
    EXPECT_EQ(events[1].time, 33075u); // tick 960: 22050 + 480 ticks at half the duration
    EXPECT_EQ(events[2].time, 44100u); // tick 1440
}

TEST(MidiImport, TempoChangesInAnyTrackApplyToEveryTrack)
{
    // The tempo sits in the last file track and still times the first one.
    const Bytes file = MidiBytes()
                           .track(MidiTrack().noteOn(960, 1, 60, 127).end())
                           .track(MidiTrack().tempo(480, 1000000).end())
                           .bytes();
    auto project = NewProject(Compatibility::kDrum);
    ASSERT_TRUE(ImportMidiFile(*project, file));
    const auto events = Events(project->tracks[1]);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].time, 22050u + 44100u);
}

TEST(MidiImport, EqualTicksKeepTheOrderOfTheFileTracks)
{
    const Bytes file = MidiBytes()
                           .track(MidiTrack().tempo(0, 500000).end())
                           .track(MidiTrack().noteOn(0, 0, 1, 127).noteOn(480, 0, 2, 127).end())
                           .track(MidiTrack().noteOn(240, 0, 3, 127).noteOn(240, 0, 4, 127).end())
                           .bytes();
    auto project = NewProject(Compatibility::kDrum);
    ASSERT_TRUE(ImportMidiFile(*project, file));
    std::vector<std::uint32_t> ids;
    std::vector<std::uint32_t> times;
    for (const Ev& e : Events(project->tracks[0])) {
        ids.push_back(e.data1);
        times.push_back(e.time);
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t> { 1, 3, 2, 4 }));
    EXPECT_EQ(times, (std::vector<std::uint32_t> { 0, 11025, 22050, 22050 }));
}

TEST(MidiImport, NoteOnWithVelocityZeroIsAStop)
{
    auto project = NewProject();
    const auto events = ImportOneTrack(
        *project, MidiTrack().noteOn(0, 0, 60, 64).noteOn(480, 0, 60, 0).noteOff(480, 0, 60).end());
    EXPECT_EQ(events,
        (std::vector<Ev> { { 0, EventType::kPlay, 0, 516, kPitch60 },
            { 22050, EventType::kStop, 0, kPitch60 }, { 44100, EventType::kStop, 0, kPitch60 } }));
}

TEST(MidiImport, VelocityScalesToTheVolumeUnitRoundingDown)
{
    auto project = NewProject(Compatibility::kDrum);
    std::vector<std::uint32_t> volumes;
    for (const Ev& e : ImportOneTrack(*project,
             MidiTrack().noteOn(0, 0, 1, 127).noteOn(0, 0, 1, 64).noteOn(0, 0, 1, 1).end()))
        volumes.push_back(e.data2);
    EXPECT_EQ(volumes, (std::vector<std::uint32_t> { 1024, 516, 8 }));
}

TEST(MidiImport, ControllersBecomeVolumeBalanceStressAndAllStop)
{
    auto project = NewProject();
    const auto events = ImportOneTrack(*project,
        MidiTrack()
            .control(0, 5, 7, 127)
            .control(0, 5, 10, 64)
            .control(0, 5, 10, 127)
            .control(0, 5, 11, 64)
            .control(0, 5, 1, 100) // modulation: nothing
            .control(0, 5, 0, 3) // bank select: nothing
            .control(0, 5, 32, 3)
            .at(0, { 0xA5, 60, 10 }) // key pressure: nothing
            .at(0, { 0xD5, 10 }) // channel pressure: nothing
            .control(0, 5, 120, 0)
            .control(0, 5, 123, 0)
            .end(),
        5);
    EXPECT_EQ(events,
        (std::vector<Ev> { { 0, EventType::kVolume, 1024 }, { 0, EventType::kBalance, 512 },
            { 0, EventType::kBalance, 1016 }, { 0, EventType::kStress, 516 },
            { 0, EventType::kAllStop }, { 0, EventType::kAllStop } }));
}

TEST(MidiImport, PitchBendReadsTheBendTable)
{
    auto project = NewProject();
    const auto events = ImportOneTrack(
        *project, MidiTrack().bend(0, 2, 0, 64).bend(0, 2, 0, 0).bend(0, 2, 0x7F, 0x7F).end(), 2);
    EXPECT_EQ(events,
        (std::vector<Ev> { { 0, EventType::kPitch, 16777216 }, { 0, EventType::kPitch, 14946800 },
            { 0, EventType::kPitch, 18831522 } }));
}

struct ModeCase {
    Compatibility compatibility;
    // {ID, pitch} for: channel 1 after Program Change 5 (note 60), channel 10
    // (note 69), channel 4 (note 127), channel 3 with bank MSB 127 (note 69),
    // channel 5 with bank LSB 127 (note 60).
    std::array<std::pair<std::uint32_t, std::uint32_t>, 5> expected;
};

class MidiConversionModes : public ::testing::TestWithParam<ModeCase> { };

TEST_P(MidiConversionModes, ChooseIdAndPitch)
{
    const Bytes file = MidiBytes()
                           .track(MidiTrack()
                                      .program(0, 0, 5)
                                      .noteOn(0, 0, 60, 127)
                                      .noteOn(0, 9, 69, 127)
                                      .noteOn(0, 3, 127, 127)
                                      .control(0, 2, 0, 127)
                                      .noteOn(0, 2, 69, 127)
                                      .control(0, 4, 32, 127)
                                      .noteOn(0, 4, 60, 127)
                                      .end())
                           .bytes();
    auto project = NewProject(GetParam().compatibility);
    ASSERT_TRUE(ImportMidiFile(*project, file));
    const std::uint32_t channels[] = { 0, 9, 3, 2, 4 };
    for (std::size_t i = 0; i < 5; ++i) {
        const auto events = Events(project->tracks[channels[i]]);
        ASSERT_EQ(events.size(), 1u) << "channel " << channels[i];
        EXPECT_EQ(events[0].data1, GetParam().expected[i].first) << "channel " << channels[i];
        EXPECT_EQ(events[0].data3, GetParam().expected[i].second) << "channel " << channels[i];
    }
}

INSTANTIATE_TEST_SUITE_P(MidiImport, MidiConversionModes,
    ::testing::Values(
        ModeCase { Compatibility::kNormal,
            { { { 5, kPitch60 }, { 0, kOne }, { 0, kPitch127 }, { 0, kOne }, { 0, kPitch60 } } } },
        ModeCase { Compatibility::kDrum,
            { { { 60, kOne }, { 69, kOne }, { 127, kOne }, { 69, kOne }, { 60, kOne } } } },
        ModeCase { Compatibility::kAuto,
            { { { 5, kPitch60 }, { 197, kOne }, { 0, kPitch127 }, { 197, kOne },
                { 0, kPitch60 } } } },
        ModeCase { Compatibility::kAutoTrack,
            { { { 0, kPitch60 }, { 197, kOne }, { 3, kPitch127 }, { 197, kOne },
                { 4, kPitch60 } } } },
        ModeCase { Compatibility::kVer12,
            { { { 5, kPitch60 }, { 0, kOne }, { 0, kPitch127 }, { 0, kOne },
                { 0, kPitch60 } } } }));

TEST(MidiImport, OlderVersionsStopByIdAndDropStressAndPitch)
{
    const MidiTrack track = MidiTrack()
                                .noteOn(0, 0, 60, 127)
                                .control(0, 0, 11, 64)
                                .bend(0, 0, 0, 64)
                                .control(0, 0, 7, 127)
                                .noteOff(480, 0, 60)
                                .noteOn(0, 0, 60, 0)
                                .end();
    auto project = NewProject(Compatibility::kVer13);
    EXPECT_EQ(ImportOneTrack(*project, track),
        (std::vector<Ev> { { 0, EventType::kPlay, 0, 1024, kPitch60 },
            { 0, EventType::kVolume, 1024 }, { 22050, EventType::kStop, 0, 0 },
            { 22050, EventType::kStop, 0, 0 } }));

    // The current version keeps them and stops by pitch.
    project = NewProject();
    const auto events = ImportOneTrack(*project, track);
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[1].type, EventType::kStress);
    EXPECT_EQ(events[2].type, EventType::kPitch);
    EXPECT_EQ(events[4], (Ev { 22050, EventType::kStop, 0, kPitch60 }));
}

TEST(MidiImport, RunningStatus)
{
    auto project = NewProject(Compatibility::kDrum);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> plays; // {time, ID}
    const auto importPlays = [&](const MidiTrack& track) {
        plays.clear();
        for (const Ev& e : ImportOneTrack(*project, track))
            plays.emplace_back(e.time, e.data1);
        return plays;
    };
    using Plays = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    // A channel status carries over to the next data bytes.
    EXPECT_EQ(importPlays(MidiTrack().at(0, { 0x90, 0x3C, 0x40 }).at(0, { 0x3E, 0x40 })),
        (Plays { { 0, 0x3C }, { 0, 0x3E } }));
    // A meta event sets running status: "01 01 42" is another text meta event,
    // not a note.
    EXPECT_EQ(importPlays(MidiTrack()
                              .at(0, { 0xFF, 0x01, 0x01, 0x41 })
                              .at(0, { 0x01, 0x01, 0x42 })
                              .at(0, { 0x90, 0x3C, 0x40 })),
        (Plays { { 0, 0x3C } }));
    // So does a system exclusive message: "01 90" is one more skipped byte.
    EXPECT_EQ(importPlays(MidiTrack()
                              .at(0, { 0xF0, 0x01, 0x7F })
                              .at(0, { 0x01, 0x90 })
                              .at(0, { 0x90, 0x3C, 0x40 })),
        (Plays { { 0, 0x3C } }));
    // A real-time status cancels it: "3E" then starts a delta of 62 ticks and
    // "40" one of 64 ticks; the note is at tick 126.
    EXPECT_EQ(importPlays(MidiTrack()
                              .at(0, { 0x90, 0x3C, 0x40 })
                              .at(0, { 0xF8 })
                              .at(0, { 0x3E, 0x40, 0x90, 0x3D, 0x40 })),
        (Plays { { 0, 0x3C }, { 5788, 0x3D } })); // 126 x 45.9375 = 5788.125
    // With no running status a data byte is read again as a delta time.
    EXPECT_EQ(importPlays(MidiTrack().at(0, { 0x60 }).raw({ 0x90, 0x3C, 0x40 })),
        (Plays { { 4410, 0x3C } })); // 96 ticks
    // F4 is left unread and begins the next delta: F4 00 is 0x74 << 7 ticks.
    EXPECT_EQ(importPlays(MidiTrack().at(0, { 0xF4 }).raw({ 0x00, 0x90, 0x3C, 0x40 })),
        (Plays { { 682080, 0x3C } })); // 14848 ticks
}

TEST(MidiImport, DataBytesAreMaskedToSevenBits)
{
    auto project = NewProject();
    EXPECT_EQ(ImportOneTrack(*project,
                  MidiTrack().at(0, { 0x90, 0xBC, 0xFF }).at(0, { 0xE0, 0xFF, 0xFF }).end()),
        (std::vector<Ev> {
            { 0, EventType::kPlay, 0, 1024, kPitch60 }, { 0, EventType::kPitch, 18831522 } }));
}

TEST(MidiImport, DivisionWithTheTopBitSetIsATickCount)
{
    // 0xE728 = 59176 ticks per quarter: floor(floor(500000 x 44100 x 2^24 /
    // 59176) / 10^6) = 6251480 per tick, so tick 59176 is frame 22049.
    auto project = NewProject(Compatibility::kDrum);
    ASSERT_TRUE(ImportMidiFile(
        *project, MidiBytes(0xE728).track(MidiTrack().noteOn(59176, 0, 1, 127)).bytes()));
    ASSERT_EQ(project->tracks[0].count, 1u);
    EXPECT_EQ(project->tracks[0].events[0].time, 22049u);
}

TEST(MidiImport, RefusesBadHeadersAndChunks)
{
    // The header is bytes 0-13 (division at 12), the first track chunk starts at 14.
    const Bytes good = MidiBytes().track(MidiTrack().noteOn(0, 0, 60, 100).end()).bytes();
    Bytes notMidi = good;
    notMidi[1] = 'X';
    Bytes longHeader = good;
    longHeader[7] = 7;
    const Bytes missing = MidiBytes().track(MidiTrack().end()).bytes(2);
    Bytes otherChunk = good;
    otherChunk[17] = 'x';
    Bytes lyingLength = good;
    lyingLength[21] += 1;
    struct Case {
        Bytes bytes;
        ReadErrorCode code;
        std::uint64_t offset;
    };
    const Case cases[] = {
        { notMidi, ReadErrorCode::kNotMidi, 0 },
        { longHeader, ReadErrorCode::kBadHeaderLength, 4 },
        { Bytes(good.begin(), good.begin() + 13), ReadErrorCode::kTruncated, 13 },
        { MidiBytes(0).track(MidiTrack().end()).bytes(), ReadErrorCode::kZeroDivision, 12 },
        { missing, ReadErrorCode::kMissingTrack, missing.size() }, // where the second would start
        { otherChunk, ReadErrorCode::kNotTrackChunk, 14 },
        { lyingLength, ReadErrorCode::kChunkPastEnd, 14 },
    };
    for (const Case& c : cases) {
        auto project = NewProject();
        ReadError reason;
        EXPECT_FALSE(ImportMidiFile(*project, c.bytes, &reason));
        EXPECT_EQ(reason.code, c.code) << DescribeReadError(reason);
        EXPECT_EQ(reason.offset, c.offset) << DescribeReadError(reason);
    }

    auto project = NewProject();
    ReadError reason;
    EXPECT_FALSE(ImportMidiFile(*project, std::string(VEL_TEST_BUILD_DIR "/absent.mid"), &reason));
    EXPECT_EQ(reason.code, ReadErrorCode::kCannotOpen);
    EXPECT_FALSE(reason.offset.has_value());
}

TEST(MidiImport, FileWithoutTracksImportsNoEvents)
{
    auto project = NewProject();
    ASSERT_TRUE(ImportMidiFile(*project, MidiBytes().bytes()));
    for (std::size_t t = 0; t < 16; ++t) {
        ASSERT_NE(project->tracks[t].events, nullptr);
        EXPECT_EQ(project->tracks[t].count, 0u);
        EXPECT_EQ(project->tracks[t].events[0].time, kSentinelTime);
    }
}

TEST(MidiImport, CutOffEventsAndDeltasEndOnlyTheirTrack)
{
    auto project = NewProject(Compatibility::kDrum);
    const Bytes file
        = MidiBytes()
              .track(MidiTrack().noteOn(0, 0, 1, 127).at(0, { 0x90, 0x02 })) // cut note
              .track(MidiTrack().noteOn(0, 1, 1, 127).raw({ 0x81 })) // cut delta
              .track(MidiTrack().noteOn(0, 2, 1, 127).at(0, { 0xFF, 0x51, 0x03, 0x01 }))
              .track(MidiTrack().at(0, { 0xF0, 0x85 })) // cut length
              .track(MidiTrack().noteOn(480, 3, 1, 127))
              .bytes();
    ASSERT_TRUE(ImportMidiFile(*project, file));
    for (std::uint32_t c = 0; c < 3; ++c)
        EXPECT_EQ(Events(project->tracks[c]),
            (std::vector<Ev> { { 0, EventType::kPlay, 1, 1024, kOne } }));
    // The cut tempo event changed nothing.
    EXPECT_EQ(Events(project->tracks[3]),
        (std::vector<Ev> { { 22050, EventType::kPlay, 1, 1024, kOne } }));
}

TEST(MidiImport, TempoNeedsThreeBytes)
{
    auto project = NewProject(Compatibility::kDrum);
    const auto events = ImportOneTrack(*project,
        MidiTrack()
            .at(0, { 0xFF, 0x51, 0x02, 0x01, 0x02 })
            .noteOn(480, 0, 1, 127)
            .tempo(0, 0)
            .noteOn(480, 0, 2, 127));
    // The short tempo is skipped; a tempo of 0 stops the clock.
    EXPECT_EQ(events,
        (std::vector<Ev> { { 22050, EventType::kPlay, 1, 1024, kOne },
            { 22050, EventType::kPlay, 2, 1024, kOne } }));
}

TEST(MidiImport, LeavesSoundsSettingsAndUpperTracksAlone)
{
    auto project = NewProject();
    project->sounds[5].volume = 77;
    project->tracks[20].flags = kTrackSolo;
    ASSERT_TRUE(InsertGap(project->tracks[20], 2, 0));
    project->tracks[3].flags = kTrackMuted;
    const ProjectSettings before = project->settings;
    ASSERT_TRUE(
        ImportMidiFile(*project, MidiBytes().track(MidiTrack().noteOn(0, 3, 1, 1)).bytes()));
    EXPECT_EQ(project->sounds[5].volume, 77u);
    EXPECT_EQ(project->tracks[20].count, 2u);
    EXPECT_EQ(project->tracks[3].flags, kTrackMuted);
    EXPECT_EQ(project->tracks[3].count, 1u);
    EXPECT_EQ(std::memcmp(&before, &project->settings, sizeof before), 0);
}

TEST(MidiImport, LongTracksGrowAndKeepEveryEventInOrder)
{
    // Many blocks' worth of notes on one channel, with pitch bends in between
    // that the older versions drop.
    MidiTrack track;
    constexpr std::uint32_t kNotes = 5000;
    for (std::uint32_t i = 0; i < kNotes; ++i)
        track.noteOn(1, 0, static_cast<std::uint8_t>(i % 128), 127).bend(0, 0, 0, 64);
    auto project = NewProject(Compatibility::kVer13);
    ASSERT_TRUE(ImportMidiFile(*project, MidiBytes().track(track).bytes()));
    const Track& result = project->tracks[0];
    ASSERT_EQ(result.count, kNotes);
    EXPECT_EQ(result.events[kNotes].time, kSentinelTime);
    for (std::uint32_t i = 0; i < kNotes; ++i) {
        ASSERT_EQ(result.events[i].type, EventTypeWord(EventType::kPlay));
        ASSERT_EQ(result.events[i].flags, kEventExists);
        ASSERT_EQ(result.events[i].data3, static_cast<std::uint32_t>(NotePitch(i % 128)));
    }
    EXPECT_TRUE(IsSortedByTime(result));
    // Tick 5000 at 45.9375 frames per tick.
    EXPECT_EQ(result.events[kNotes - 1].time, 229687u);
}

TEST(MidiImport, HugeDeltaTimesStopAtTheEditCeiling)
{
    // The slowest tempo at the highest rate with one tick per quarter: the
    // clock passes 2^64 fractions of a frame and holds there.
    auto project = NewProject(Compatibility::kDrum, 192000);
    ASSERT_TRUE(ImportMidiFile(*project,
        MidiBytes(1)
            .track(MidiTrack()
                       .tempo(0, 0xFFFFFF)
                       .noteOn(1, 0, 1, 127)
                       .noteOn(0x0FFFFFFF, 0, 2, 127)
                       .noteOn(0x0FFFFFFF, 0, 3, 127))
            .bytes()));
    const auto events = Events(project->tracks[0]);
    ASSERT_EQ(events.size(), 3u);
    // One tick of 16777215 us at 192000 Hz is 3221225 frames (3221225.28).
    EXPECT_EQ(events[0].time, 3221225u);
    EXPECT_EQ(events[1], (Ev { kMaxEditTime, EventType::kPlay, 2, 1024, kOne }));
    EXPECT_EQ(events[2], (Ev { kMaxEditTime, EventType::kPlay, 3, 1024, kOne }));
}
