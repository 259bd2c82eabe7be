// SPDX-License-Identifier: MIT
#include "import/BmsImport.h"

#include "BmsChart.h"
#include "ImportTestUtil.h"
#include "import/BmsLine.h"
#include "import/BmsText.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace vellisto;
using namespace vellisto::import;
using namespace vellisto::import::testing;

namespace {

constexpr std::u16string_view kChartPath = u"/charts/song/chart.bms";

std::unique_ptr<Project> ImportChart(const std::vector<std::uint8_t>& bytes,
    Compatibility compatibility = Compatibility::kNormal, std::uint32_t rate = 44100)
{
    auto project = NewProject(compatibility, rate);
    EXPECT_TRUE(ImportBmsFile(*project, bytes, kChartPath));
    return project;
}

std::unique_ptr<Project> ImportChart(const BmsChart& chart) { return ImportChart(chart.bytes()); }

std::vector<std::uint32_t> Times(const Track& track)
{
    std::vector<std::uint32_t> times;
    for (const Ev& e : Events(track))
        times.push_back(e.time);
    return times;
}

Ev Play(std::uint32_t time, std::uint32_t id) { return { time, EventType::kPlay, id, 1024, kOne }; }
Ev AllStop(std::uint32_t time) { return { time, EventType::kAllStop }; }

std::u16string NameOf(const Name& name) { return { name.data(), NameLength(name) }; }

} // namespace

TEST(BmsImport, MeasuresLast88200FramesAt120BeatsPerMinute)
{
    const auto project
        = ImportChart(BmsChart().line("#WAV01 a.wav").line("#00011:0101").line("#00111:0101"));
    // The All Stop lies two measures after the start of measure 1.
    EXPECT_EQ(Events(project->tracks[1]),
        (std::vector<Ev> {
            Play(0, 1), Play(44100, 1), Play(88200, 1), Play(132300, 1), AllStop(264600) }));
}

TEST(BmsImport, HeaderTempoAndTempoChanges)
{
    auto project = ImportChart(
        BmsChart().line("#BPM 150").line("#WAV01 a").line("#00011:01").line("#00111:01"));
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 0, 70560, 211680 }));
    project = ImportChart(BmsChart().line("#BPM150").line("#WAV01 a").line("#00111:01"));
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 70560, 211680 }));

    // Hexadecimal 96 is 150 beats per minute, from the start of measure 2 on.
    project = ImportChart(BmsChart()
                              .line("#WAV01 a")
                              .line("#00011:01")
                              .line("#00203:96")
                              .line("#00211:0101")
                              .line("#00311:01"));
    EXPECT_EQ(Times(project->tracks[1]),
        (std::vector<std::uint32_t> { 0, 176400, 211680, 246960, 388080 }));
}

TEST(BmsImport, LinesThatSetNoTempo)
{
    // An extended tempo definition, a zero tempo, no digits, a zero or
    // non-hexadecimal tempo change: the measure stays 88200 frames long.
    const auto project = ImportChart(BmsChart()
                                         .line("#BPM01 180")
                                         .line("#BPMAB\t90")
                                         .line("#BPM 0")
                                         .line("#BPM")
                                         .line("#BPM x120")
                                         .line("#WAV01 a")
                                         .line("#00103:00")
                                         .line("#00103:G0")
                                         .line("#00103:9")
                                         .line("#00211:01"));
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 176400, 352800 }));
}

TEST(BmsImport, TempoNameFollowedOnlyByWhiteSpaceIsTheHeaderTempo)
{
    // Trailing white space is invisible in an editor and changes nothing:
    // "#BPM90 " reads as "#BPM90", a header tempo of 90. Only a value after
    // the name ("#BPM90 180") makes the line an extended tempo definition.
    for (const char* line : { "#BPM90", "#BPM90 ", "#BPM90 \t " }) {
        const auto project = ImportChart(BmsChart().line(line).line("#WAV01 a").line("#00111:01"));
        // Measure 1 starts after one measure of 4 beats at 90 per minute: 117600 frames.
        EXPECT_EQ(Times(project->tracks[1]).front(), 117600u) << line;
    }
}

TEST(BmsImport, MeasureLengthStaysInForceUntilChanged)
{
    const auto project = ImportChart(BmsChart()
                                         .line("#WAV01 a")
                                         .line("#00011:01")
                                         .line("#00102:0.75")
                                         .line("#00111:0101")
                                         .line("#00211:01")
                                         .line("#00311:01")
                                         .line("#00402: 1.5")
                                         .line("#00411:01")
                                         .line("#00503:3C")
                                         .line("#00511:01"));
    // Measures 1-3 last 66150 frames, measure 4 132300; at 60 beats per
    // minute the factor 1.5 makes measure 5 264600 frames.
    EXPECT_EQ(Times(project->tracks[1]),
        (std::vector<std::uint32_t> {
            0, 88200, 121275, 154350, 220500, 286650, 418950, 418950 + 529200 }));
}

TEST(BmsImport, BackgroundLinesTakeTurnsOverTracks10To63)
{
    BmsChart chart;
    chart.line("#WAV01 a").line("#WAV02 b");
    for (int i = 0; i < 3; ++i)
        chart.line("#00301:01");
    chart.line("#00401:02");
    for (int i = 0; i < 55; ++i)
        chart.line("#00501:02");
    const auto project = ImportChart(chart);
    const std::uint32_t end = 7 * 88200;
    EXPECT_EQ(Events(project->tracks[10]),
        (std::vector<Ev> {
            Play(264600, 1), Play(352800, 2), Play(441000, 2), Play(441000, 2), AllStop(end) }));
    EXPECT_EQ(Events(project->tracks[11]),
        (std::vector<Ev> { Play(264600, 1), Play(441000, 2), AllStop(end) }));
    EXPECT_EQ(Events(project->tracks[12]),
        (std::vector<Ev> { Play(264600, 1), Play(441000, 2), AllStop(end) }));
    EXPECT_EQ(Events(project->tracks[63]), (std::vector<Ev> { Play(441000, 2), AllStop(end) }));
}

TEST(BmsImport, SoundDefinitions)
{
    auto project = NewProject();
    project->sounds[10].stopEventMode = 2;
    project->sounds[10].attackTime = 5;
    const auto chart = BmsChart()
                           .line("#WAV0A  kick.wav")
                           .line("#WAV0B hat.wav  ")
                           .line("#WAVGG x.wav")
                           .line("#wav0C lower.wav")
                           .line("#WAV0")
                           .bytes();
    ASSERT_TRUE(ImportBmsFile(*project, chart, kChartPath));
    const SoundSlot& kick = project->sounds[10];
    EXPECT_EQ(NameOf(kick.fileName), u"\\kick.wav");
    EXPECT_EQ(kick.volume, 1024u);
    EXPECT_EQ(kick.pitch, kOne);
    EXPECT_EQ(kick.loopBegin, kNoLoop);
    EXPECT_EQ(kick.loopEnd, kNoLoop);
    EXPECT_EQ(kick.stopEventMode, 2u);
    EXPECT_EQ(kick.attackTime, 5u);
    EXPECT_EQ(NameOf(project->sounds[11].fileName), u"\\hat.wav  ");
    EXPECT_TRUE(project->sounds[12].empty());
    EXPECT_EQ(project->sounds[12].volume, 0u);

    // Lower-case digits name the same sound.
    ASSERT_TRUE(ImportBmsFile(*project, BmsChart().line("#WAV0a snare.wav").bytes(), kChartPath));
    EXPECT_EQ(NameOf(project->sounds[10].fileName), u"\\snare.wav");
}

TEST(BmsImport, LongSoundNamesAreCutToTheField)
{
    const auto project = ImportChart(BmsChart().line("#WAV01 " + std::string(300, 'a')));
    const Name& name = project->sounds[1].fileName;
    EXPECT_EQ(NameLength(name), 259u);
    EXPECT_EQ(name[0], u'\\');
    EXPECT_EQ(name[258], u'a');
    EXPECT_EQ(name[259], 0);

    // A cut that would fall inside a surrogate pair leaves the whole pair
    // out: 258 units, no half character.
    const auto pair = ImportChart(
        BmsChart().line("#WAV01 " + std::string(257, 'a') + "\xF0\x9F\x98\x80" + "b"));
    const Name& cut = pair->sounds[1].fileName;
    EXPECT_EQ(NameLength(cut), 258u);
    EXPECT_EQ(cut[257], u'a');
}

TEST(BmsImport, UndefinedSoundsAndOtherPairsAreRests)
{
    auto project = ImportChart(BmsChart()
                                   .line("#WAV01 a")
                                   .line("#00011:00010001")
                                   .line("#00012:01zz01")
                                   .line("#00013:010"));
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 22050, 66150, 176400 }));
    EXPECT_EQ(Times(project->tracks[2]), (std::vector<std::uint32_t> { 0, 58800, 176400 }));
    EXPECT_EQ(Times(project->tracks[3]), (std::vector<std::uint32_t> { 0, 176400 }));
    // With sound 00 defined, 00 plays too.
    project = ImportChart(BmsChart().line("#WAV00 z").line("#00011:0000"));
    EXPECT_EQ(Events(project->tracks[1]),
        (std::vector<Ev> { Play(0, 0), Play(44100, 0), AllStop(176400) }));
    // A lower-case definition defines nothing.
    project = ImportChart(BmsChart().line("#wav01 a.wav").line("#00011:01"));
    EXPECT_EQ(project->tracks[1].count, 0u);
}

TEST(BmsImport, LinesOfAnEarlierMeasureLandInTheCurrentOne)
{
    const auto project = ImportChart(
        BmsChart().line("#WAV01 a").line("#WAV02 b").line("#00711:01").line("#00511:0202"));
    EXPECT_EQ(Events(project->tracks[1]),
        (std::vector<Ev> { Play(617400, 1), Play(617400, 2), Play(661500, 2), AllStop(793800) }));
}

TEST(BmsImport, IgnoredChannels)
{
    // 00 and 04-09 are channel lines (they move the measure on) without
    // notes; 21 and 51-59 are not channel lines at all.
    const auto project = ImportChart(BmsChart()
                                         .line("#WAV01 a")
                                         .line("#00000:01")
                                         .line("#00204:01")
                                         .line("#00309:01")
                                         .line("#00921:01")
                                         .line("#00951:01")
                                         .line("#00959:01")
                                         .line("#00011:01"));
    EXPECT_EQ(EventCount(*project), 2u);
    EXPECT_EQ(Events(project->tracks[1]), (std::vector<Ev> { Play(264600, 1), AllStop(441000) }));
}

TEST(BmsImport, MasterVolumeFollowsTheTracksWithNotes)
{
    const auto project = ImportChart(BmsChart()
                                         .line("#WAV01 a")
                                         .line("#00011:01")
                                         .line("#00012:01")
                                         .line("#00101:01")
                                         .line("#00101:01")
                                         .line("#00904:")
                                         .line("#01521:01"));
    EXPECT_EQ(project->settings.masterVolume, 512u);
    for (const int t : { 1, 2, 10, 11 }) {
        ASSERT_EQ(project->tracks[t].count, 2u) << "track " << t;
        EXPECT_EQ(Events(project->tracks[t]).back(), AllStop(11 * 88200)) << "track " << t;
    }
    EXPECT_EQ(EventCount(*project), 8u);

    // Three tracks: trunc(1024 / sqrt(3)) = 591; none: 1.0.
    EXPECT_EQ(ImportChart(
                  BmsChart().line("#WAV01 a").line("#00011:01").line("#00012:01").line("#00013:01"))
                  ->settings.masterVolume,
        591u);
    const auto empty = ImportChart(BmsChart().line("#WAV01 a"));
    EXPECT_EQ(empty->settings.masterVolume, 1024u);
    EXPECT_EQ(EventCount(*empty), 0u);
}

TEST(BmsImport, SetsBasePathInterpolationAndPriority)
{
    auto project = NewProject(Compatibility::kVer12);
    project->settings.masterBalance = 100;
    ASSERT_TRUE(
        ImportBmsFile(*project, BmsChart().line("#WAV01 a").bytes(), u"C:\\bms\\x\\song.bme"));
    EXPECT_EQ(NameOf(project->settings.basePath), u"C:\\bms\\x");
    EXPECT_EQ(project->settings.mixingInterpolation, 0u);
    EXPECT_EQ(project->settings.playingPriority, 1u);
    EXPECT_EQ(project->settings.masterBalance, 100u);
    EXPECT_EQ(project->settings.stoppingRules, 0u);

    ASSERT_TRUE(ImportBmsFile(*project, {}, u"song.bms"));
    EXPECT_EQ(NameOf(project->settings.basePath), u"song.bms");
    // A folder that does not fit the field is left out.
    ASSERT_TRUE(ImportBmsFile(*project, {}, u"/" + std::u16string(300, u'd') + u"/song.bms"));
    EXPECT_EQ(NameLength(project->settings.basePath), 0u);
}

TEST(BmsImport, FileOnDiskGetsItsAbsoluteFolder)
{
    const std::filesystem::path folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "bms chart";
    std::filesystem::create_directories(folder);
    const auto bytes = BmsChart().line("#WAV01 a.wav").line("#00011:01").bytes();
    std::ofstream(folder / "song.bms", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    auto project = NewProject();
    ASSERT_TRUE(ImportBmsFile(*project, (folder / "song.bms").string()));
    EXPECT_EQ(platform::Utf16ToUtf8(NameOf(project->settings.basePath)), folder.string());
    EXPECT_EQ(project->tracks[1].count, 2u);

    platform::ReadError reason;
    EXPECT_FALSE(ImportBmsFile(*project, (folder / "absent.bms").string(), &reason));
    EXPECT_EQ(reason.code, platform::ReadErrorCode::kCannotOpen);
    EXPECT_FALSE(reason.offset.has_value()); // the file as a whole, no line
}

TEST(BmsImport, LineEndsOfEveryKind)
{
    const auto project
        = ImportChart(BmsChart().raw("#WAV01 a.wav\r#00011:01\n#00111:01\r\n\r\n#00211:01"));
    EXPECT_EQ(NameOf(project->sounds[1].fileName), u"\\a.wav");
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 0, 88200, 176400, 352800 }));
}

TEST(BmsImport, Utf16TwinsReadTheSameAsEightBitText)
{
    BmsChart chart;
    chart.line("#BPM 140")
        .line("#WAV01 ドラム.wav")
        .line("#WAV02 b.wav")
        .line("#00011:0102")
        .line("#00101:0201");
    const auto reference = ImportChart(chart.bytes());
    ASSERT_EQ(NameOf(reference->sounds[1].fileName), u"\\ドラム.wav");
    for (const bool bigEndian : { false, true }) {
        const auto twin = ImportChart(chart.utf16(bigEndian));
        for (std::size_t id = 0; id < 3; ++id) {
            EXPECT_EQ(NameOf(twin->sounds[id].fileName), NameOf(reference->sounds[id].fileName));
            EXPECT_EQ(twin->sounds[id].words(), reference->sounds[id].words());
        }
        for (std::size_t t = 0; t < kTrackCount; ++t)
            EXPECT_EQ(Events(twin->tracks[t]), Events(reference->tracks[t])) << "track " << t;
        EXPECT_EQ(std::memcmp(&twin->settings, &reference->settings, sizeof twin->settings), 0);
    }
    // Text ends at the first zero character.
    auto cut = chart.utf16(false);
    cut.insert(cut.begin() + 2, { 0, 0 });
    EXPECT_EQ(EventCount(*ImportChart(cut)), 0u);
}

// A failing line is reported by the offset of its first byte in the file,
// whatever the text's encoding and line ends.
TEST(BmsText, LineOffsetsAreThePlacesOfTheLinesInTheFile)
{
    using Bytes = std::vector<std::uint8_t>;
    // A chart is a run of pieces; each piece that is a line records where it starts.
    struct Piece {
        Bytes bytes;
        bool line;
    };
    const auto text = [](std::string_view t, bool line) {
        return Piece { { t.begin(), t.end() }, line };
    };
    const auto utf16 = [](std::u16string_view t, bool bigEndian, bool line) {
        Bytes out;
        for (const char16_t unit : t) {
            const auto high = static_cast<std::uint8_t>(unit >> 8);
            const auto low = static_cast<std::uint8_t>(unit);
            out.push_back(bigEndian ? high : low);
            out.push_back(bigEndian ? low : high);
        }
        return Piece { out, line };
    };
    const auto utf16Chart = [&](bool bigEndian) {
        return std::vector<Piece> {
            { bigEndian ? Bytes { 0xFE, 0xFF } : Bytes { 0xFF, 0xFE }, false },
            utf16(u"#WAV01 ドラム.wav", bigEndian, true),
            utf16(u"\r\n", bigEndian, false),
            utf16(u"#00011:01", bigEndian, true),
            utf16(u"\n\n", bigEndian, false),
            utf16(u"#00111:01", bigEndian, true),
        };
    };
    const std::vector<std::vector<Piece>> charts {
        // UTF-8 with characters of three bytes, every kind of line end and
        // an empty line.
        { text("#WAV01 ドラム.wav", true), text("\r\n", false), text("#00011:01", true),
            text("\n", false), text("#BPM 150", true), text("\r\r\n", false),
            text("#00111:01", true) },
        // Shift-JIS: two-byte characters (one with a second byte of 0x5C),
        // and a lone first byte right before a line end.
        { { { '#', 'W', 'A', 'V', '0', '1', ' ', 0x83, 0x68, 0x83, 0x89, 0x83, 0x80 }, true },
            text("\r\n", false),
            { { '#', 'W', 'A', 'V', '0', '2', ' ', 0x83, 0x5C, '.', 'w', 'a', 'v' }, true },
            text("\n", false), { { 0x81 }, true }, text("\n", false), text("#00011:01", true) },
        utf16Chart(false),
        utf16Chart(true),
    };
    for (std::size_t i = 0; i < charts.size(); ++i) {
        Bytes bytes;
        std::vector<std::uint64_t> expected;
        for (const Piece& piece : charts[i]) {
            if (piece.line)
                expected.push_back(bytes.size());
            bytes.insert(bytes.end(), piece.bytes.begin(), piece.bytes.end());
        }
        const std::u16string decoded = DecodeBmsText(bytes);
        std::vector<std::uint64_t> offsets;
        ForEachBmsLine(decoded, [&](std::u16string_view, std::size_t start) {
            offsets.push_back(BmsLineOffset(bytes, decoded, start));
        });
        EXPECT_EQ(offsets, expected) << "chart " << i;
    }
}

TEST(BmsImport, ShiftJisNames)
{
    std::vector<std::uint8_t> bytes { '#', 'W', 'A', 'V', '0', '1', ' ', 0x83, 0x68, 0x83, 0x89,
        0x83, 0x80, '.', 'w', 'a', 'v', '\r', '\n' };
    const auto project = ImportChart(bytes);
    EXPECT_EQ(NameOf(project->sounds[1].fileName), u"\\ドラム.wav");
}

TEST(BmsImport, AbsurdMeasureLengthsStayWithinTheEditCeiling)
{
    // A factor whose measure passes 2^64 (in 8.24 frames) makes the longest
    // measure there is, even beyond the range of a double; times then
    // saturate at the edit ceiling instead of wrapping.
    for (const char* factor : { "1e300", "1e400", "4e9" }) {
        auto project = ImportChart(BmsChart()
                                       .line("#WAV01 a")
                                       .line(std::string("#00002:") + factor)
                                       .line("#00011:01")
                                       .line("#00111:0101"));
        EXPECT_EQ(Times(project->tracks[1]),
            (std::vector<std::uint32_t> { 0, kMaxEditTime, kMaxEditTime, kMaxEditTime }))
            << factor;
    }
    auto project = ImportChart(BmsChart().line("#WAV01 a"));
    // A negative or missing factor makes measures of no length.
    project = ImportChart(BmsChart()
                              .line("#WAV01 a")
                              .line("#00002:-1")
                              .line("#00511:0101")
                              .line("#00602:x")
                              .line("#00711:01"));
    EXPECT_EQ(Times(project->tracks[1]), (std::vector<std::uint32_t> { 0, 0, 0, 0 }));
}

TEST(BmsImport, LongLinesGrowTheTrack)
{
    std::string notes;
    for (int i = 0; i < 10000; ++i)
        notes += "01";
    const auto project = ImportChart(BmsChart().line("#WAV01 a").line("#00011:" + notes));
    const Track& track = project->tracks[1];
    ASSERT_EQ(track.count, 10001u);
    EXPECT_TRUE(IsSortedByTime(track));
    // floor(k x 88200 / 10000) for k = 9999, then the All Stop.
    EXPECT_EQ(track.events[9999].time, 88191u);
    EXPECT_EQ(track.events[10000].time, 176400u);
}

TEST(BmsImport, RandomTextImportsWellFormed)
{
    std::mt19937 random(4242);
    const std::string pieces[] = { "#", "0", "1", "2", "3", "9", "A", "z", ":", ".", "e", "-", " ",
        "\r", "\n", "#WAV", "#BPM", "#001", "#00101:", "#00211:", "#00002:", "#00303:", "01",
        "\x83", "\xff", "\0" };
    auto project = NewProject();
    for (int round = 0; round < 1000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i)
            text += pieces[random() % std::size(pieces)];
        const std::vector<std::uint8_t> bytes(text.begin(), text.end());
        ASSERT_TRUE(ImportBmsFile(*project, bytes, kChartPath));
        std::uint32_t filled = 0;
        for (const Track& track : project->tracks) {
            ASSERT_TRUE(IsSortedByTime(track));
            ASSERT_EQ(track.events[track.count].time, kSentinelTime);
            for (std::uint32_t i = 0; i < track.count; ++i)
                ASSERT_LE(track.events[i].time, kMaxEditTime);
            filled += track.count > 0;
        }
        EXPECT_EQ(project->settings.masterVolume,
            filled == 0 ? 1024u : static_cast<std::uint32_t>(1024 / std::sqrt(filled)));
    }
}

TEST(BmsLine, LeadingNumbers)
{
    EXPECT_EQ(ParseLeadingNumber(u"  0.75xyz"), 0.75);
    EXPECT_EQ(ParseLeadingNumber(u"-2.5e1"), -25.0);
    EXPECT_EQ(ParseLeadingNumber(u"+3"), 3.0);
    EXPECT_EQ(ParseLeadingNumber(u"1e"), 1.0);
    EXPECT_EQ(ParseLeadingNumber(u".5"), 0.5);
    EXPECT_EQ(ParseLeadingNumber(u"."), 0.0);
    EXPECT_EQ(ParseLeadingNumber(u"abc"), 0.0);
    EXPECT_EQ(ParseLeadingNumber(u""), 0.0);
    EXPECT_EQ(ParseLeadingNumber(u"1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(u"-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(u"1e-400"), 0.0);
    EXPECT_EQ(ParseLeadingNumber(u"0.0001e-330"), 0.0);
    EXPECT_EQ(ParseLeadingNumber(u"1" + std::u16string(400, u'0')),
        std::numeric_limits<double>::infinity());
}

TEST(BmsImport, DemoChart)
{
    // Measures of 82687.5 frames at 128 beats per minute, measure 4 three
    // quarters of that, and 66150 frames at 160 from measure 6.
    auto project = NewProject();
    ASSERT_TRUE(
        ImportBmsFile(*project, std::string(VEL_TEST_DATA_DIR "/../../examples/demo/chart.bms")));
    const char16_t* names[] = { u"\\kick.wav", u"\\snare.wav", u"\\hat.wav", u"\\bass.wav",
        u"\\lead.wav", u"\\pad.wav" };
    for (std::size_t id = 1; id <= 6; ++id)
        EXPECT_EQ(NameOf(project->sounds[id].fileName), names[id - 1]);
    const auto kicks = Times(project->tracks[1]);
    for (const std::uint32_t measureStart : { 330750u, 392765u, 475453u, 541603u, 607753u })
        EXPECT_NE(std::find(kicks.begin(), kicks.end(), measureStart), kicks.end()) << measureStart;
    EXPECT_EQ(kicks.back(), 740053u); // All Stop two measures after measure 8
    EXPECT_EQ(project->settings.masterVolume, static_cast<std::uint32_t>(1024 / std::sqrt(6.0)));
}
