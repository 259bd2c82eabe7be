// SPDX-License-Identifier: MIT
// Charts read by the standard rules. Expected frame times are worked out by
// hand at 44100 Hz (the arithmetic is in the comments): at 120 beats per
// minute a 4/4 measure lasts 240 x 44100 / 120 = 88200 frames.

#include "BmsChart.h"
#include "ImportTestUtil.h"
#include "import/BmsControlFlow.h"
#include "import/BmsImport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;

namespace {

constexpr std::u16string_view kChartPath = u"/charts/song/chart.bms";

std::unique_ptr<Project> ImportStandard(
    const BmsChart& chart, std::uint64_t seed = 0, BmsImportReport* report = nullptr)
{
    auto project = NewProject();
    EXPECT_TRUE(ImportBmsFile(*project, chart.bytes(), kChartPath,
        BmsImportOptions { BmsRules::kStandard, seed }, nullptr, report));
    return project;
}

// Every Play event of a project as track -> (time, sound) pairs.
using Notes = std::map<std::uint32_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>>;

Notes NotesOf(const Project& project)
{
    Notes notes;
    for (std::uint32_t t = 0; t < kTrackCount; ++t) {
        for (const Ev& e : Events(project.tracks[t])) {
            if (e.type == EventType::kPlay)
                notes[t].emplace_back(e.time, e.data1);
        }
    }
    return notes;
}

std::vector<std::uint32_t> PlayTimes(const Track& track)
{
    std::vector<std::uint32_t> times;
    for (const Ev& e : Events(track)) {
        if (e.type == EventType::kPlay)
            times.push_back(e.time);
    }
    return times;
}

std::uint32_t AllStopTime(const Track& track)
{
    const auto events = Events(track);
    return events.empty() || events.back().type != EventType::kAllStop ? 0 : events.back().time;
}

BmsChart Lines(const std::vector<std::string>& lines)
{
    BmsChart chart;
    for (const std::string& line : lines)
        chart.line(line);
    return chart;
}

} // namespace

TEST(BmsStandard, FrameTimesWorkedOutByHand)
{
    struct Case {
        std::string what;
        std::vector<std::string> lines;
        std::uint32_t track;
        std::vector<std::uint32_t> times;
        std::uint32_t allStop;
    };
    const Case cases[] = {
        { "default tempo 130: a measure is 240 x 44100 / 130 = 81415.38 frames",
            { "#WAV01 a", "#00011:01", "#00111:01" }, 1, { 0, 81415 }, 244246 /* 3 x 81415.38 */ },
        { "#BPM 145.5: a measure is 10584000 / 145.5 = 7056000 / 97 = 72742.268 frames",
            { "#BPM 145.5", "#WAV01 a", "#00011:01", "#00111:01", "#00211:0001" }, 1,
            { 0, 72742, 181855 /* 2.5 measures */ }, 290969 /* 4 measures */ },
        { "after 291 measures of 7056000 / 97 frames the time is whole again: 21168000",
            { "#BPM 145.5", "#WAV01 a", "#29111:01", "#58211:01", "#87311:01" }, 1,
            { 21168000, 42336000, 63504000 }, 63649484 /* 875 measures */ },
        { "channel 02 scales its own measure only: 88200, then 0.75 x 88200 = 66150",
            { "#BPM 120", "#WAV01 a", "#00011:01", "#00102:0.75", "#00111:0101", "#00211:01",
                "#00311:01" },
            1, { 0, 88200, 121275, 154350, 242550 }, 418950 },
        { "a measure factor of 0 or a bad one leaves the measure whole",
            { "#BPM 120", "#WAV01 a", "#00102:0", "#00202:x", "#00111:01", "#00211:01",
                "#00311:01" },
            1, { 88200, 176400, 264600 }, 441000 },
        { "#BPM01 240 from the middle of measure 0, a stop of 96/192 at 240 at measure 1: "
          "44100 + 22050 = 66150 to measure 1, then 22050 stopped",
            { "#BPM 120", "#BPM01 240", "#STOP01 96", "#WAV01 a", "#00008:0001", "#00011:01010101",
                "#00109:0100", "#00111:0101" },
            1, { 0, 22050, 44100, 55125, 66150, 110250 }, 176400 },
        { "the same tempo change as hexadecimal F0 on channel 03",
            { "#BPM 120", "#STOP01 96", "#WAV01 a", "#00003:00F0", "#00011:01010101", "#00109:0100",
                "#00111:0101" },
            1, { 0, 22050, 44100, 55125, 66150, 110250 }, 176400 },
        { "a decimal extended tempo: #BPM0Z 60.5 at measure 1 makes it 240 x 44100 / 60.5 = "
          "174942.15 frames",
            { "#BPM 120", "#BPM0Z 60.5", "#WAV01 a", "#00108:0Z", "#00111:0001", "#00211:01" }, 1,
            { 175671 /* 88200 + 87471.07 */, 263142 }, 613026 },
        { "a stop at a note's position comes after the note; one of 1/192 at 120 is 459.375 frames",
            { "#BPM 120", "#STOP01 1", "#WAV01 a", "#00009:0001", "#00011:0101", "#00111:01" }, 1,
            { 0, 44100, 88659 }, 265059 },
        { "lines in any order and the header after the notes",
            { "#00211:01", "#WAV01 a", "#00011:01", "#00111:01", "#BPM 120" }, 1,
            { 0, 88200, 176400 }, 352800 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto project = ImportStandard(Lines(c.lines));
        EXPECT_EQ(PlayTimes(project->tracks[c.track]), c.times);
        EXPECT_EQ(AllStopTime(project->tracks[c.track]), c.allStop);
    }
}

TEST(BmsStandard, SoundIdsAreBase36AndThoseBeyondTheTableAreReported)
{
    // 0Z is 35, 10 is 36, a1 is A1 = 361, SF = 28 x 36 + 15 = 1023, SG = 1024, ZZ = 1295.
    const BmsChart chart = Lines({ "#BPM 120", "#WAV0Z a", "#WAV10 b", "#wava1 c", "#WAVSF d",
        "#WAVSG e", "#WAVZZ f", "#00011:0Z10a1SFSGZZ", "#00111:ZZ" });
    BmsImportReport report;
    const auto project = ImportStandard(chart, 0, &report);
    EXPECT_EQ(NotesOf(*project)[1],
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> {
            { 0, 35 }, { 14700, 36 }, { 29400, 361 }, { 44100, 1023 } }));
    EXPECT_EQ(NameLength(project->sounds[361].fileName), 2u); // "\c"
    ASSERT_EQ(report.warnings.size(), 2u); // each ID once, at its definition
    EXPECT_EQ(report.warnings[0].kind, BmsWarningKind::kSoundBeyondTable);
    EXPECT_EQ(report.warnings[0].value, 1024u);
    EXPECT_EQ(report.warnings[1].value, 1295u);
    // "#BPM 120\r\n" is 10 bytes, and each #WAVxx x line 10 more.
    EXPECT_EQ(report.warnings[0].offset, 50u);
    EXPECT_EQ(DescribeBmsWarning(report.warnings[1]),
        "byte 60: sound ZZ is beyond the 1024-sound table; skipped");

    // The program's own rules read hexadecimal IDs: only "10" is a note
    // there, of sound 16 ("#WAV10 b"); the lower-case #wav is no definition.
    auto design = NewProject();
    ASSERT_TRUE(ImportBmsFile(*design, chart.bytes(), kChartPath));
    EXPECT_EQ(NotesOf(*design)[1],
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> { { 14700, 16 } }));
}

TEST(BmsStandard, UndefinedTempoAndStopIdsAreReportedAndIgnored)
{
    BmsImportReport report;
    const auto project = ImportStandard(
        Lines({ "#BPM 120", "#WAV01 a", "#00008:0Z", "#00109:0Y0Y", "#00211:01" }), 0, &report);
    EXPECT_EQ(PlayTimes(project->tracks[1]), (std::vector<std::uint32_t> { 176400 }));
    ASSERT_EQ(report.warnings.size(), 2u);
    EXPECT_EQ(report.warnings[0].kind, BmsWarningKind::kUndefinedTempo);
    EXPECT_EQ(report.warnings[1].kind, BmsWarningKind::kUndefinedStop);
    EXPECT_EQ(report.warnings[1].value, 34u); // 0Y
    EXPECT_EQ(DescribeBmsWarning(report.warnings[0]),
        "byte 20: tempo 0Z is not defined by a usable #BPM0Z; ignored");
}

TEST(BmsStandard, LaterObjectsReplaceEarlierOnesExceptInTheBackground)
{
    const auto project = ImportStandard(Lines({ "#BPM 120", "#WAV01 a", "#WAV02 b", "#WAV03 c",
        // Key 1: the second line's 03 replaces 02 at the half; 00 replaces nothing.
        "#00011:0102", "#00011:0003", "#00011:00",
        // Key 2: positions 0/2 and 0/1 are one position.
        "#00012:0100", "#00012:02",
        // Background: every line is kept, on tracks 10 and 11.
        "#00001:01", "#00001:02" }));
    const Notes notes = NotesOf(*project);
    using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    EXPECT_EQ(notes.at(1), (Pairs { { 0, 1 }, { 44100, 3 } }));
    EXPECT_EQ(notes.at(2), (Pairs { { 0, 2 } }));
    EXPECT_EQ(notes.at(10), (Pairs { { 0, 1 } }));
    EXPECT_EQ(notes.at(11), (Pairs { { 0, 2 } }));
}

TEST(BmsStandard, KeysLongNotesAndSilentChannelsKeepToTheirTracks)
{
    struct Case {
        std::string what;
        std::vector<std::string> lines;
        Notes notes;
    };
    const std::vector<std::string> head = { "#BPM 120", "#WAV01 a", "#WAV02 b", "#WAV09 end" };
    const auto with = [&](std::vector<std::string> lines) {
        lines.insert(lines.begin(), head.begin(), head.end());
        return lines;
    };
    const Case cases[] = {
        { "a long note sounds at its start on its key's track; the next object ends it silently",
            with({ "#00011:02", "#00051:0102", "#00151:0201" }),
            { { 1, { { 0, 2 }, { 0, 1 }, { 88200, 2 } } } } },
        { "#LNOBJ makes its sound end a long note without sounding",
            with({ "#LNOBJ 09", "#00012:0109", "#00112:09" }), { { 2, { { 0, 1 } } } } },
        { "invisible notes and mines are silent",
            with({ "#00031:01", "#00041:01", "#000D1:01", "#000e2:01" }), {} },
        { "channel 10 keeps the program's own track 0", with({ "#00010:01" }),
            { { 0, { { 0, 1 } } } } },
        { "without a second player the background rotates over tracks 10-63",
            with({ "#00011:01", "#00001:02", "#00001:02", "#00101:02" }),
            { { 1, { { 0, 1 } } }, { 10, { { 0, 2 }, { 88200, 2 } } }, { 11, { { 0, 2 } } } } },
        { "the second player's keys go to tracks 11-19 and the background moves to 20-63",
            with({ "#00021:01", "#00169:0102", "#00001:02", "#00001:02" }),
            { { 11, { { 0, 1 } } }, { 19, { { 88200, 1 } } }, { 20, { { 0, 2 } } },
                { 21, { { 0, 2 } } } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NotesOf(*ImportStandard(Lines(c.lines))), c.notes);
    }

    // With a second player there are 44 background tracks: the 45th line of
    // a measure is back on track 20.
    std::vector<std::string> lines = with({ "#00022:01" });
    for (int i = 0; i < 45; ++i)
        lines.push_back("#00001:02");
    const Notes notes = NotesOf(*ImportStandard(Lines(lines)));
    EXPECT_EQ(notes.at(20).size(), 2u);
    EXPECT_EQ(notes.at(63).size(), 1u);
}

TEST(BmsStandard, RandomBlocksFollowTheSeed)
{
    const BmsChart chart = Lines({ "#BPM 120", "#WAV01 a", "#RANDOM 2", "#IF 1", "#00011:01",
        "#ELSE", "#00012:01", "#ENDIF", "#ENDRANDOM", "#00013:01" });
    // Which branch each seed takes; the lines outside the block always count.
    std::map<std::uint32_t, std::vector<std::uint64_t>> seedsByTrack;
    for (std::uint64_t seed = 0; seed < 32; ++seed) {
        const Notes notes = NotesOf(*ImportStandard(chart, seed));
        ASSERT_EQ(notes.size(), 2u) << seed;
        EXPECT_EQ(notes.count(3), 1u); // channel 13, outside the block
        seedsByTrack[notes.count(1) ? 1 : 2].push_back(seed);
    }
    ASSERT_EQ(seedsByTrack.size(), 2u) << "both branches are taken for some seed";
    // Seed 0: the first SplitMix64 output is 0xE220A8397B1DCDAF, odd, so
    // 1 + (x mod 2) is 2: the #ELSE branch.
    EXPECT_EQ(seedsByTrack[2].front(), 0u);
    EXPECT_EQ(SplitMix64(0).next(), 0xE220A8397B1DCDAFull);
    // The same seed gives the same render.
    const std::uint64_t seed = seedsByTrack[1].front();
    EXPECT_EQ(NotesOf(*ImportStandard(chart, seed)), NotesOf(*ImportStandard(chart, seed)));

    // The program's own rules ignore the blocks: both branches count.
    auto design = NewProject();
    ASSERT_TRUE(ImportBmsFile(*design, chart.bytes(), kChartPath));
    EXPECT_EQ(NotesOf(*design).size(), 3u);
}

TEST(BmsStandard, RandomBlocksNestAndCloseAsChartsWriteThem)
{
    struct Case {
        std::string what;
        std::vector<std::string> lines;
        std::vector<std::uint32_t> tracks; // that hold a note
    };
    const Case cases[] = {
        { "#SETRANDOM picks the branch",
            { "#SETRANDOM 2", "#IF 1", "#00011:01", "#ENDIF", "#IF 2", "#00012:01", "#ENDIF" },
            { 2 } },
        { "#ELSEIF is taken only when no branch before it was",
            { "#SETRANDOM 2", "#IF 1", "#00011:01", "#ELSEIF 2", "#00012:01", "#ELSEIF 2",
                "#00013:01", "#ELSE", "#00014:01", "#ENDIF" },
            { 2 } },
        { "#ELSE when nothing matched",
            { "#SETRANDOM 3", "#IF 1", "#00011:01", "#ELSEIF 2", "#00012:01", "#ELSE", "#00014:01",
                "#ENDIF" },
            { 4 } },
        { "a block after another without #ENDRANDOM replaces its value",
            { "#SETRANDOM 1", "#IF 1", "#00011:01", "#ENDIF", "#SETRANDOM 2", "#IF 2", "#00012:01",
                "#ENDIF" },
            { 1, 2 } },
        { "a block inside a branch, closed by the outer #ENDIF",
            { "#SETRANDOM 1", "#IF 1", "#SETRANDOM 2", "#IF 2", "#00011:01", "#ENDIF", "#ENDIF",
                "#IF 1", "#00012:01", "#ENDIF" },
            { 1, 2 } },
        { "nothing inside an untaken branch counts, nested blocks and headers included",
            { "#SETRANDOM 2", "#IF 1", "#SETRANDOM 1", "#IF 1", "#00011:01", "#ENDIF", "#BPM 60",
                "#ELSE", "#00012:01", "#ENDIF", "#00213:01" },
            { 2, 3 } },
        { "unmatched closings are ignored and commands are read without regard to case",
            { "#endif", "#endrandom", "#setrandom 1", "#if 1", "#00011:01", "#else", "#00012:01",
                "#endif" },
            { 1 } },
        { "#RANDOM without a number matches no #IF",
            { "#RANDOM x", "#IF 1", "#00011:01", "#ELSE", "#00012:01", "#ENDIF" }, { 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = { "#BPM 120", "#WAV01 a" };
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        const auto project = ImportStandard(Lines(lines));
        std::vector<std::uint32_t> tracks;
        for (const auto& [track, notes] : NotesOf(*project))
            tracks.push_back(track);
        EXPECT_EQ(tracks, c.tracks);
        if (c.tracks == std::vector<std::uint32_t> { 2, 3 }) {
            EXPECT_EQ(PlayTimes(project->tracks[3]), (std::vector<std::uint32_t> { 176400 }))
                << "#BPM 60 skipped";
        }
    }
}

TEST(BmsStandard, OutOfOrderChartEqualsItsSortedTwin)
{
    // A chart of 40 measures with tempo changes, stops, measure lengths,
    // replacements and background layers, written in measure order.
    std::vector<std::string> headers = { "#BPM 133.5", "#BPM01 171.25", "#STOP01 24", "#LNOBJ 0F" };
    const std::string digits = "0123456789ABCDEFGHIJK";
    for (std::size_t id = 1; id < digits.size(); ++id)
        headers.push_back("#WAV0" + digits.substr(id, 1) + " s" + std::to_string(id) + ".wav");
    std::vector<std::vector<std::string>> measures(40);
    for (int m = 0; m < 40; ++m) {
        char number[4];
        std::snprintf(number, sizeof number, "%03d", m);
        const std::string mm = number;
        auto& lines = measures[static_cast<std::size_t>(m)];
        lines.push_back("#" + mm + "01:0102030400050607");
        lines.push_back("#" + mm + "11:01000200030004");
        if (m % 3 == 0)
            lines.push_back("#" + mm + "02:0.625");
        if (m % 4 == 1)
            lines.push_back("#" + mm + "03:00" + (m % 8 == 1 ? "B4" : "78"));
        if (m % 5 == 2)
            lines.push_back("#" + mm + "08:000001");
        if (m % 6 == 3)
            lines.push_back("#" + mm + "09:0001");
        lines.push_back("#" + mm + "01:0809");
        lines.push_back("#" + mm + "11:0A0B"); // replaces the notes at 0 and 1/2
        lines.push_back("#" + mm + "15:0C0D0E0F0G");
        lines.push_back("#" + mm + "22:000H");
        lines.push_back("#" + mm + "51:0I000I00");
    }
    BmsChart sorted;
    for (const auto& line : headers)
        sorted.line(line);
    for (const auto& lines : measures)
        for (const auto& line : lines)
            sorted.line(line);
    // The twin: measures from last to first, the headers at the end. Lines of
    // one measure keep their order, which decides replacements and layers.
    BmsChart shuffled;
    for (auto it = measures.rbegin(); it != measures.rend(); ++it)
        for (const auto& line : *it)
            shuffled.line(line);
    for (const auto& line : headers)
        shuffled.line(line);

    const auto a = ImportStandard(sorted);
    const auto b = ImportStandard(shuffled);
    EXPECT_GT(EventCount(*a), 800u);
    for (std::size_t t = 0; t < kTrackCount; ++t)
        EXPECT_EQ(Events(a->tracks[t]), Events(b->tracks[t])) << "track " << t;
    EXPECT_EQ(a->settings.masterVolume, b->settings.masterVolume);
}

TEST(BmsStandard, PlainChartsGiveWhatTheProgramsOwnRulesGive)
{
    // In measure order, whole tempos, hexadecimal IDs, no measure lengths
    // and one player: both rule sets agree event for event.
    // IDs 00-0F read the same in base 16 and base 36.
    const BmsChart chart
        = Lines({ "#BPM 150", "#WAV01 a", "#WAV0A b", "#WAV0F c", "#00011:010A", "#00001:0F",
            "#00001:0A0A0A", "#00115:010F01", "#00203:B4", "#00211:0A000000000F", "#00301:01" });
    auto design = NewProject();
    ASSERT_TRUE(ImportBmsFile(*design, chart.bytes(), kChartPath));
    const auto standard = ImportStandard(chart);
    EXPECT_GT(EventCount(*design), 10u);
    for (std::size_t t = 0; t < kTrackCount; ++t)
        EXPECT_EQ(Events(design->tracks[t]), Events(standard->tracks[t])) << "track " << t;
    EXPECT_EQ(design->settings.masterVolume, standard->settings.masterVolume);
    EXPECT_EQ(NameLength(design->settings.basePath), NameLength(standard->settings.basePath));
    EXPECT_EQ(standard->settings.playingPriority, 1u);
}
