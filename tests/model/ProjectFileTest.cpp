// SPDX-License-Identifier: MIT
#include "model/ProjectFile.h"

#include "model/EventList.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace vellisto;
using platform::DescribeReadError;
using platform::ReadError;
using platform::ReadErrorCode;

namespace {

// Builds project file bytes by hand, field by field.
class FileBytes {
public:
    explicit FileBytes(const char* magic = "SPRU")
    {
        if (*magic != 0)
            text(magic, 4);
    }

    FileBytes& u16(std::uint16_t v)
    {
        m_data.push_back(static_cast<std::uint8_t>(v));
        m_data.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    FileBytes& u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v));
        return u16(static_cast<std::uint16_t>(v >> 16));
    }
    FileBytes& u32s(std::initializer_list<std::uint32_t> words)
    {
        for (std::uint32_t w : words)
            u32(w);
        return *this;
    }
    FileBytes& fill(std::size_t n, std::uint8_t value = 0)
    {
        m_data.insert(m_data.end(), n, value);
        return *this;
    }
    // 8-bit text padded with zeros to n bytes (not terminated when it fills them).
    FileBytes& text(const std::string& s, std::size_t n)
    {
        m_data.insert(m_data.end(), s.begin(), s.end());
        return fill(n - s.size());
    }
    FileBytes& utf16(const std::u16string& s, std::size_t units = 260)
    {
        for (char16_t c : s)
            u16(c);
        return fill(2 * (units - s.size()));
    }
    FileBytes& format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
    {
        const auto align = static_cast<std::uint16_t>(channels * bits / 8);
        return u16(1).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits).u16(0);
    }
    FileBytes& version(std::uint32_t v) { return u32(1).u32(v); }
    FileBytes& end() { return u32(2); }

    const std::vector<std::uint8_t>& data() const { return m_data; }
    std::size_t size() const { return m_data.size(); }

private:
    std::vector<std::uint8_t> m_data;
};

std::unique_ptr<Project> Parse(const std::vector<std::uint8_t>& bytes, ReadError* error = nullptr)
{
    auto project = CreateProject();
    if (!ParseProjectFile(bytes, *project, error))
        return nullptr;
    return project;
}

ReadErrorCode ParseError(const std::vector<std::uint8_t>& bytes)
{
    auto project = CreateProject();
    ReadError error;
    EXPECT_FALSE(ParseProjectFile(bytes, *project, &error));
    return error.code;
}

Name MakeName(const std::u16string& text)
{
    Name name {};
    std::copy(text.begin(), text.end(), name.begin());
    return name;
}

std::u16string NameText(const Name& name) { return { name.data(), NameLength(name) }; }

void SetEvents(Track& track, const std::vector<Event>& events)
{
    ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(events.size())));
    std::copy(events.begin(), events.end(), track.events.get());
}

// The six words of every event of a track, for comparison.
std::vector<std::array<std::uint32_t, 6>> EventsOf(const Track& track)
{
    std::vector<std::array<std::uint32_t, 6>> words;
    if (!track.events)
        return words;
    EXPECT_EQ(track.events[track.count].time, kSentinelTime);
    for (std::uint32_t i = 0; i < track.count; ++i) {
        const Event& e = track.events[i];
        words.push_back({ e.flags, e.time, e.type, e.data1, e.data2, e.data3 });
    }
    return words;
}

// A project that sets every stored field to something other than its default.
std::unique_ptr<Project> FullProject()
{
    auto p = CreateProject();
    ProjectSettings& s = p->settings;
    s.bufferLength = 8192;
    s.mixingInterpolation = 3;
    s.loadingInterpolation = 2;
    s.soundCountPerTrack = 33;
    s.playingPriority = 0;
    s.stoppingRules = 0;
    s.changingStress = 0;
    s.changingPitch = 7;
    s.positionWord = 0x12345678;
    s.masterVolume = 2048;
    s.masterBalance = 100;
    s.reserved = { 1, 2, 3, 4, 5, 6, 7, 8 };
    s.outputFormat = { 1, 1, 22050, 44100, 2, 16, 5 };
    s.basePath = MakeName(u"/music/kit");
    s.basePath[200] = u'x'; // a tail after the terminator travels as held
    s.padding = { 0xAB, 0xCD };

    p->sounds[0].fileName = MakeName(u"\\kick.wav");
    p->sounds[0].setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    p->sounds[1023].fileName = MakeName(u"\u97F3\U0001F3B5.wav");
    p->sounds[1023].setWords(
        { 1024, 1u << 24, kNoLoop, kNoLoop, 3, 1023, 1, 100, 200, 300, 0xFFFFFFFF, 0x80000000 });
    p->sounds[5].setWords({ 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9 }); // no name: not stored

    SetEvents(p->tracks[0],
        { { 1, 300, 0, 5, 1024, 1u << 24 }, { 3, 100, 6, 0, 0, 0 }, { 0, 0, 99, 1, 2, 3 } });
    SetEvents(p->tracks[63], { { 1, 0x7FFFFFFF, 2, 0, 0, 0 } });
    p->tracks[0].flags = kTrackMuted | kTrackSolo;
    p->tracks[7].flags = kTrackSolo;
    return p;
}

// b is a read back from a's file.
void ExpectSameStoredParts(const Project& a, const Project& b)
{
    const auto bytes = [](const ProjectSettings& s) {
        return std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(&s),
            reinterpret_cast<const std::uint8_t*>(&s) + sizeof s);
    };
    EXPECT_EQ(bytes(a.settings), bytes(b.settings));
    for (std::size_t i = 0; i < kSoundCount; ++i) {
        EXPECT_EQ(a.sounds[i].fileName, b.sounds[i].fileName) << "sound " << i;
        // A slot without a name is not stored: it reads back zero.
        const SoundWords expected = a.sounds[i].empty() ? SoundWords {} : a.sounds[i].words();
        EXPECT_EQ(expected, b.sounds[i].words()) << "sound " << i;
    }
    for (std::size_t t = 0; t < kTrackCount; ++t)
        EXPECT_EQ(EventsOf(a.tracks[t]), EventsOf(b.tracks[t])) << "track " << t;
}

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path()
        / (std::string("vellisto-pf-") + std::to_string(::getpid()) + "-" + name))
        .string();
}

} // namespace

TEST(ProjectFile, EmptyProjectIs612BytesInTheWrittenLayout)
{
    auto project = CreateProject();
    const auto bytes = SerializeProjectFile(*project);
    const auto expected = FileBytes("SPRU")
                              .version(0x20002)
                              .u32(3)
                              .u32(4096) // bufferLength
                              .u32(1) // mixing: Linear
                              .u32(3) // loading: sinc
                              .u32(16)
                              .u32(1)
                              .u32(1)
                              .u32(1)
                              .u32(1)
                              .u32(0) // position word
                              .u32(1024)
                              .u32(512)
                              .fill(8) // reserved
                              .format(2, 44100, 16)
                              .fill(520 + 2) // base path, padding
                              .end();
    ASSERT_EQ(expected.size(), 612u);
    EXPECT_EQ(bytes, expected.data());
}

TEST(ProjectFile, SoundAndTrackChunksAreWrittenByIndex)
{
    auto project = CreateProject();
    project->sounds[9].fileName = MakeName(u"b");
    project->sounds[9].setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    project->sounds[2].fileName = MakeName(u"a");
    SetEvents(project->tracks[4], { { 1, 10, 0, 2, 3, 4 } });
    const auto bytes = SerializeProjectFile(*project);

    FileBytes tail("");
    tail.u32(4).u32(2).utf16(u"a");
    tail.fill(48);
    tail.u32(4).u32(9).utf16(u"b");
    for (std::uint32_t w = 1; w <= 12; ++w)
        tail.u32(w);
    tail.u32(5).u32(4).u32(1).u32(1).u32(10).u32(0).u32(2).u32(3).u32(4).end();
    ASSERT_EQ(bytes.size(), 608 + tail.size());
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 608, bytes.end()), tail.data());
}

TEST(ProjectFile, RoundTripKeepsEveryStoredFieldAndDropsTrackFlags)
{
    auto original = FullProject();
    auto read = Parse(SerializeProjectFile(*original));
    ASSERT_TRUE(read);
    ExpectSameStoredParts(*original, *read);
    for (const Track& track : read->tracks)
        EXPECT_EQ(track.flags, 0u);
    // Stored order comes back, unsorted as it was.
    EXPECT_EQ(read->tracks[0].events[0].time, 300u);
    EXPECT_EQ(read->tracks[0].events[1].time, 100u);
    EXPECT_EQ(read->tracks[0].events[2].flags, 0u);
    EXPECT_FALSE(read->tracks[1].events);
}

TEST(ProjectFile, WriteProjectFileReplacesTheFileAndReadsBack)
{
    const std::string path = TempPath("write.spj");
    std::ofstream(path) << "previous";
    auto original = FullProject();
    ASSERT_EQ(WriteProjectFile(*original, path), ProjectWriteResult::kOk);
    auto read = CreateProject();
    ReadError error;
    ASSERT_TRUE(ReadProjectFile(path, *read, &error)) << DescribeReadError(error);
    ExpectSameStoredParts(*original, *read);
    std::filesystem::remove(path);

    EXPECT_EQ(WriteProjectFile(*original, TempPath("missing-folder") + "/x.spj"),
        ProjectWriteResult::kCannotCreate);
}

TEST(ProjectFile, ReadProjectFileRefusesMissingFilesAndFolders)
{
    auto project = CreateProject();
    ReadError error;
    EXPECT_FALSE(ReadProjectFile(TempPath("none.spj"), *project, &error));
    EXPECT_EQ(error.code, ReadErrorCode::kCannotOpen);
    EXPECT_FALSE(error.offset.has_value());
    EXPECT_FALSE(
        ReadProjectFile(std::filesystem::temp_directory_path().string(), *project, &error));
    EXPECT_EQ(error.code, ReadErrorCode::kCannotOpen);
}

TEST(ProjectFile, BothMagicsReadIdentically)
{
    const auto body = [](const char* magic) {
        return FileBytes(magic)
            .version(0x20002)
            .u32(4)
            .u32(3)
            .utf16(u"x.wav")
            .fill(48, 1)
            .end()
            .data();
    };
    auto u = Parse(body("SPRU"));
    auto j = Parse(body("SPRJ"));
    ASSERT_TRUE(u && j);
    ExpectSameStoredParts(*u, *j);
    EXPECT_EQ(NameText(j->sounds[3].fileName), u"x.wav");
    EXPECT_EQ(j->sounds[3].reserved2, 0x01010101u);
    EXPECT_EQ(ParseError(body("SPRX")), ReadErrorCode::kNotProject);
    EXPECT_EQ(ParseError({}), ReadErrorCode::kNotProject);
    EXPECT_EQ(ParseError({ 'S', 'P', 'R' }), ReadErrorCode::kNotProject);
}

TEST(ProjectFile, OldestVersionWithSettingsChunk)
{
    // Layout 308.
    const auto bytes = FileBytes()
                           .version(0x10000)
                           .u32(3)
                           .u32(2048) // bufferLength
                           .u32(2) // mixingInterpolation
                           .u32(8) // soundCountPerTrack
                           .u32(1) // playingPriority
                           .u32(77) // positionWord
                           .u32(3000) // masterVolume
                           .u32(100) // masterBalance
                           .format(1, 22050, 16)
                           .text("C:\\snd", 260)
                           .u16(0xFFFF) // padding, dropped
                           .end()
                           .data();
    auto p = Parse(bytes);
    ASSERT_TRUE(p);
    const ProjectSettings& s = p->settings;
    EXPECT_EQ(s.bufferLength, 2048u);
    EXPECT_EQ(s.mixingInterpolation, 2u);
    EXPECT_EQ(s.soundCountPerTrack, 8u);
    EXPECT_EQ(s.playingPriority, 1u); // as stored
    EXPECT_EQ(s.positionWord, 77u);
    EXPECT_EQ(s.masterVolume, 3000u);
    EXPECT_EQ(s.masterBalance, 100u);
    EXPECT_EQ(s.outputFormat.channels, 1u);
    EXPECT_EQ(s.outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(s.outputFormat.averageBytesPerSecond, 44100u);
    EXPECT_EQ(s.outputFormat.blockAlign, 2u);
    EXPECT_EQ(NameText(s.basePath), u"C:\\snd");
    EXPECT_EQ(s.loadingInterpolation, 1u);
    EXPECT_EQ(s.stoppingRules, 0u);
    EXPECT_EQ(s.changingStress, 0u);
    EXPECT_EQ(s.changingPitch, 0u);
    EXPECT_EQ(s.padding[0], 0u);
}

TEST(ProjectFile, VersionChunkUpgradeValuesWithoutSettings)
{
    struct Case {
        std::uint32_t version;
        std::uint32_t playingPriority, loading, stopping, stress, pitch;
    };
    for (const Case c : { Case { 0x10000, 0, 1, 0, 0, 0 }, Case { 0x0FFFF, 0, 1, 0, 0, 0 },
             Case { 0x10001, 1, 1, 0, 0, 0 }, Case { 0x10002, 1, 1, 1, 1, 1 },
             Case { 0x10003, 1, 3, 1, 1, 1 }, Case { 0x20002, 1, 3, 1, 1, 1 } }) {
        auto p = Parse(FileBytes().version(c.version).end().data());
        ASSERT_TRUE(p);
        const ProjectSettings& s = p->settings;
        EXPECT_EQ(s.playingPriority, c.playingPriority) << std::hex << c.version;
        EXPECT_EQ(s.loadingInterpolation, c.loading) << std::hex << c.version;
        EXPECT_EQ(s.stoppingRules, c.stopping) << std::hex << c.version;
        EXPECT_EQ(s.changingStress, c.stress) << std::hex << c.version;
        EXPECT_EQ(s.changingPitch, c.pitch) << std::hex << c.version;
    }
}

TEST(ProjectFile, Layout328HasNoLoadingInterpolation)
{
    const auto bytes = FileBytes()
                           .version(0x10002)
                           .u32(3)
                           .u32(1024)
                           .u32(0) // mixing
                           .u32(4) // sound count
                           .u32(0) // playing priority
                           .u32(1) // stopping rules
                           .u32(0) // stress
                           .u32(1) // pitch
                           .u32(5) // position word
                           .u32(512) // master volume
                           .u32(1024) // master balance
                           .fill(8, 0xEE) // reserved, dropped
                           .format(2, 48000, 16)
                           .text("base", 260)
                           .fill(2)
                           .end()
                           .data();
    auto p = Parse(bytes);
    ASSERT_TRUE(p);
    const ProjectSettings& s = p->settings;
    EXPECT_EQ(s.bufferLength, 1024u);
    EXPECT_EQ(s.mixingInterpolation, 0u);
    EXPECT_EQ(s.loadingInterpolation, 1u);
    EXPECT_EQ(s.soundCountPerTrack, 4u);
    EXPECT_EQ(s.playingPriority, 0u);
    EXPECT_EQ(s.stoppingRules, 1u);
    EXPECT_EQ(s.changingStress, 0u);
    EXPECT_EQ(s.changingPitch, 1u);
    EXPECT_EQ(s.positionWord, 5u);
    EXPECT_EQ(s.masterVolume, 512u);
    EXPECT_EQ(s.masterBalance, 1024u);
    EXPECT_EQ(s.reserved, (std::array<std::uint8_t, 8> {}));
    EXPECT_EQ(s.outputFormat.samplesPerSecond, 48000u);
    EXPECT_EQ(s.outputFormat.averageBytesPerSecond, 192000u);
    EXPECT_EQ(NameText(s.basePath), u"base");
}

TEST(ProjectFile, Layout332ReadsEightBitBasePathAndDropsReserved)
{
    for (std::uint32_t version : { 0x10003u, 0x20000u }) {
        FileBytes file;
        file.version(version).u32(3);
        for (std::uint32_t w = 1; w <= 11; ++w)
            file.u32(w * 10);
        file.fill(8, 0xEE).format(2, 32000, 16).text("\x89\xB9", 260).fill(2, 0x77).end();
        auto p = Parse(file.data());
        ASSERT_TRUE(p);
        const ProjectSettings& s = p->settings;
        EXPECT_EQ(s.bufferLength, 10u);
        EXPECT_EQ(s.loadingInterpolation, 30u);
        EXPECT_EQ(s.changingPitch, 80u);
        EXPECT_EQ(s.masterBalance, 110u);
        EXPECT_EQ(s.reserved, (std::array<std::uint8_t, 8> {}));
        EXPECT_EQ(s.outputFormat.samplesPerSecond, 32000u);
        EXPECT_EQ(NameText(s.basePath), u"\u97F3"); // Shift-JIS
        EXPECT_EQ(s.padding, (std::array<std::uint8_t, 2> {}));
    }
}

TEST(ProjectFile, OldSoundRecordForms)
{
    // Up to 0x10002: 8-bit name and four words.
    auto p = Parse(FileBytes()
                       .version(0x10001)
                       .u32(4)
                       .u32(17)
                       .text("\x89\xB9.wav", 260)
                       .u32s({ 1024, 1u << 24, 10, 20 })
                       .end()
                       .data());
    ASSERT_TRUE(p);
    EXPECT_EQ(NameText(p->sounds[17].fileName), u"\u97F3.wav");
    EXPECT_EQ(p->sounds[17].words(), (SoundWords { 1024, 1u << 24, 10, 20 }));

    // 0x10003 to 0x20000: 8-bit name and eight words, the eighth being reserved1.
    p = Parse(FileBytes()
                  .version(0x10003)
                  .u32(4)
                  .u32(0)
                  .text("k.wav", 260)
                  .u32s({ 1, 2, 3, 4, 5, 6, 7, 8 })
                  .end()
                  .data());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->sounds[0].words(), (SoundWords { 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 8, 0 }));

    // 0x20001: UTF-16 name and eight words.
    p = Parse(FileBytes()
                  .version(0x20001)
                  .u32(4)
                  .u32(1)
                  .utf16(u"\u00E9.wav")
                  .u32s({ 1, 2, 3, 4, 5, 6, 7, 8 })
                  .end()
                  .data());
    ASSERT_TRUE(p);
    EXPECT_EQ(NameText(p->sounds[1].fileName), u"\u00E9.wav");
    EXPECT_EQ(p->sounds[1].words(), (SoundWords { 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 8, 0 }));
}

TEST(ProjectFile, NamesWithoutTerminatorAreCut)
{
    auto p = Parse(FileBytes()
                       .version(0x10000)
                       .u32(4)
                       .u32(0)
                       .fill(260, 'a') // no zero byte
                       .fill(16)
                       .version(0x20002)
                       .u32(4)
                       .u32(1)
                       .fill(520, 'b') // 260 units of U+6262, no zero unit
                       .fill(48)
                       .end()
                       .data());
    ASSERT_TRUE(p);
    EXPECT_EQ(NameText(p->sounds[0].fileName), std::u16string(259, u'a'));
    EXPECT_EQ(NameText(p->sounds[1].fileName), std::u16string(259, u'\u6262'));
    EXPECT_EQ(p->sounds[1].fileName[259], 0);
}

TEST(ProjectFile, RecordBeforeVersionChunkReadsAsOldestLayout)
{
    auto p = Parse(
        FileBytes().u32(4).u32(2).text("old.wav", 260).u32(5).u32(6).u32(7).u32(8).end().data());
    ASSERT_TRUE(p);
    EXPECT_EQ(NameText(p->sounds[2].fileName), u"old.wav");
    EXPECT_EQ(p->sounds[2].loopEnd, 8u);
    EXPECT_EQ(p->settings.playingPriority, 0u);
    EXPECT_EQ(p->settings.loadingInterpolation, 1u);
}

TEST(ProjectFile, SkipChunksAndTrailingBytes)
{
    auto p = Parse(FileBytes()
                       .u32(0)
                       .u32(0) // length 0
                       .version(0x20002)
                       .u32(0)
                       .u32(3)
                       .fill(3, 0xFF)
                       .u32(5)
                       .u32(1)
                       .u32(0) // a track chunk of no events
                       .end()
                       .fill(7, 0xFF) // ignored after the end chunk
                       .data());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->tracks[1].count, 0u);
    ASSERT_TRUE(p->tracks[1].events);
    EXPECT_EQ(p->tracks[1].events[0].time, kSentinelTime);
}

TEST(ProjectFile, RejectsBadChunksWithTheirOffset)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        ReadErrorCode code;
        std::uint64_t offset;
    };
    const Case cases[] = {
        { FileBytes().version(0x20003).end().data(), ReadErrorCode::kVersionTooNew, 8 },
        { FileBytes().version(0x20002).u32(6).end().data(), ReadErrorCode::kUnknownChunk, 12 },
        { FileBytes().version(0x20002).u32(4).u32(1024).fill(568).end().data(),
            ReadErrorCode::kBadSoundIndex, 16 },
        { FileBytes().version(0x20002).u32(5).u32(64).u32(0).end().data(),
            ReadErrorCode::kBadTrackIndex, 16 },
        { FileBytes().u32(0).u32(5).fill(4).data(), ReadErrorCode::kChunkPastEnd, 12 },
        { FileBytes().u32(0).u32(0xFFFFFFFF).end().data(), ReadErrorCode::kChunkPastEnd, 12 },
        // A header claiming 4 G events in a tiny file fails before any allocation.
        { FileBytes().version(0x20002).u32(5).u32(0).u32(0xFFFFFFFF).end().data(),
            ReadErrorCode::kEventsPastEnd, 20 },
        { FileBytes().version(0x20002).u32(5).u32(0).u32(2).fill(47).data(),
            ReadErrorCode::kEventsPastEnd, 20 },
        { FileBytes().version(0x20002).data(), ReadErrorCode::kMissingEnd, 12 },
        { FileBytes().version(0x20002).u32(3).fill(591).data(), ReadErrorCode::kTruncated, 16 },
        { FileBytes().version(0x20002).u16(2).data(), ReadErrorCode::kTruncated, 12 },
    };
    for (const Case& c : cases) {
        auto project = CreateProject();
        ReadError error;
        EXPECT_FALSE(ParseProjectFile(c.bytes, *project, &error));
        EXPECT_EQ(error.code, c.code) << DescribeReadError(error);
        EXPECT_EQ(error.offset, c.offset) << DescribeReadError(error);
    }
}

TEST(ProjectFile, EveryTruncationFailsCleanly)
{
    const auto bytes = SerializeProjectFile(*FullProject());
    // One project serves every attempt: only the failure matters here.
    auto project = CreateProject();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ReadError error;
        ASSERT_FALSE(ParseProjectFile({ bytes.data(), n }, *project, &error)) << n;
        ASSERT_TRUE(error.offset.has_value()) << n; // a cut always has a place
        EXPECT_LE(*error.offset, n);
    }
}

TEST(ProjectFile, RandomByteFlipsNeverBreakTheReader)
{
    const auto original = SerializeProjectFile(*FullProject());
    std::mt19937 random(12345);
    int accepted = 0;
    auto project = CreateProject();
    for (int round = 0; round < 3000; ++round) {
        auto bytes = original;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int k = 0; k < flips; ++k)
            bytes[random() % bytes.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        // Reused across rounds: a reader must keep the invariants whatever
        // the project held before.
        if (!ParseProjectFile(bytes, *project))
            continue;
        ++accepted;
        // What is accepted keeps the invariants every other unit relies on.
        for (const Track& track : project->tracks) {
            if (track.events)
                ASSERT_EQ(track.events[track.count].time, kSentinelTime);
            else
                ASSERT_EQ(track.count, 0u);
        }
        for (const SoundSlot& slot : project->sounds)
            ASSERT_LT(NameLength(slot.fileName), kNameUnits);
        ASSERT_LT(NameLength(project->settings.basePath), kNameUnits);
    }
    EXPECT_GT(accepted, 0); // many flips land in names and words
}

TEST(ProjectFile, ClearNameTailsZeroesUnitsAfterTheText)
{
    auto p = CreateProject();
    p->sounds[1].fileName = MakeName(u"ab");
    p->sounds[1].fileName[5] = u'z';
    p->sounds[2].fileName[3] = u'q'; // empty name: left as held, it is never written
    p->settings.basePath = MakeName(u"dir");
    p->settings.basePath[259] = u'y';
    ClearNameTails(*p);
    EXPECT_EQ(p->sounds[1].fileName, MakeName(u"ab"));
    EXPECT_EQ(p->sounds[2].fileName[3], u'q');
    EXPECT_EQ(p->settings.basePath, MakeName(u"dir"));
}
