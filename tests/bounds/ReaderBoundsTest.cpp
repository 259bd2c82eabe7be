// SPDX-License-Identifier: MIT
// What the readers allocate for inputs that claim more than they hold: a
// claim is checked against the bytes at hand before anything is allocated
// for it, and reading allocates in proportion to the input.

#include "audio/AudioTestUtil.h"
#include "audio/CompressedTools.h"
#include "audio/SoundFileReader.h"
#include "audio/WaveReader.h"
#include "bounds/AllocationProbe.h"
#include "editing/ClipboardBlocks.h"
#include "import/BmsChart.h"
#include "import/BmsImport.h"
#include "import/ImportTables.h"
#include "import/MidiImport.h"
#include "mix/SoundCache.h"
#include "model/ProjectFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vellisto;
using vellisto::testing::AllocationProbe;

namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendWord(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A new project's file with the end chunk replaced by the given words and filler.
Bytes ProjectFileEndingWith(std::initializer_list<std::uint32_t> words, std::size_t filler)
{
    Bytes bytes = SerializeProjectFile(*CreateProject());
    bytes.resize(bytes.size() - 4);
    for (const std::uint32_t w : words)
        AppendWord(bytes, w);
    bytes.insert(bytes.end(), filler, 0x11);
    return bytes;
}

// A file in a scratch folder of its own, removed at the end.
class ScratchFile {
public:
    explicit ScratchFile(const Bytes& bytes)
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "vellisto-bounds-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        EXPECT_GE(fd, 0);
        ::close(fd);
        m_path = pattern;
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchFile() { std::filesystem::remove(m_path); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

constexpr std::size_t kSmallAllocation = 4096;

} // namespace

TEST(ReaderBounds, WaveClaimsPastTheFileAllocateNothingForThem)
{
    const Bytes samples(1000, 0x55);
    struct Case {
        Bytes file;
        platform::ReadErrorCode code;
    };
    const Case cases[] = {
        // A "data" chunk claiming almost 4 GB in a 1 kB file.
        { test::WaveBytes {}.pcm16(2, 44100, {}).tag("data").u32(0xFFFFF000).bytes(samples).file(),
            platform::ReadErrorCode::kChunkPastEnd },
        { test::WaveBytes {}.pcm16(2, 44100, {}).tag("data").u32(0xFFFFFFFF).bytes(samples).file(),
            platform::ReadErrorCode::kDataTooLarge },
        // A RIFF size claiming 4 GB.
        { test::WaveBytes {}.pcm16(2, 44100, { 1, 2 }).riffSize(0xFFFFFFF0).file(),
            platform::ReadErrorCode::kRiffSizeExceedsFile },
    };
    for (const Case& c : cases) {
        SoundSlot sound;
        platform::ReadError reason;
        AllocationProbe probe;
        EXPECT_FALSE(audio::ParseWaveFile(c.file, sound, &reason));
        EXPECT_EQ(reason.code, c.code);
        EXPECT_LT(probe.counts().largestBytes, kSmallAllocation);
    }
}

TEST(ReaderBounds, WaveFileIsReadWithBuffersTheSizeOfTheFile)
{
    const Bytes samples(1000, 0x55);
    const ScratchFile lying(
        test::WaveBytes {}.pcm16(1, 8000, {}).tag("data").u32(0x7FFFFFFF).bytes(samples).file());
    const Bytes good = test::WaveBytes {}.pcm8(1, 8000, samples).file();
    const ScratchFile honest(good);
    {
        SoundSlot sound;
        AllocationProbe probe;
        EXPECT_FALSE(audio::ReadWaveFileAt(lying.path(), sound));
        EXPECT_LE(probe.counts().largestBytes, std::filesystem::file_size(lying.path()));
    }
    SoundSlot sound;
    AllocationProbe probe;
    ASSERT_TRUE(audio::ReadWaveFileAt(honest.path(), sound));
    // The file's bytes, then the sample block with its two guard zones.
    EXPECT_GE(probe.counts().largestBytes, good.size()); // the probe sees them
    EXPECT_LE(probe.counts().largestBytes, good.size() + 2 * kGuardBytes);
    EXPECT_LE(probe.counts().totalBytes, 2 * good.size() + 2 * kGuardBytes + kSmallAllocation);
}

TEST(ReaderBounds, ConversionThatRunsOutOfMemorySaysSo)
{
    // 1000 mono frames at 8000 Hz read fine (about 2 KiB); brought to 44100 Hz
    // stereo they need about 22 KiB, which the probe refuses.
    const ScratchFile file(
        test::WaveBytes {}.pcm16(1, 8000, std::vector<std::int16_t>(1000, 9)).file());
    const OutputFormat stereo { kFormatPcm, 2, 44100, 176400, 4, 16, 0 };
    struct Case {
        std::size_t refuseAbove;
        OutputFormat format;
        mix::SoundFailureKind expected;
    };
    const OutputFormat eightBit { kFormatPcm, 2, 44100, 88200, 2, 8, 0 };
    for (const Case& c : { Case { 8192, stereo, mix::SoundFailureKind::kOutOfMemory },
             Case { std::size_t { 1 } << 30, eightBit, mix::SoundFailureKind::kUnconvertible } }) {
        SoundSlot slot;
        mix::SoundFailure failure;
        AllocationProbe probe;
        probe.refuseAbove(c.refuseAbove);
        EXPECT_FALSE(mix::LoadSoundFile(file.path(), c.format, 0, slot, &failure));
        EXPECT_EQ(failure.kind, c.expected);
        EXPECT_EQ(slot.samples, nullptr);
    }
    mix::SoundFailure memory { mix::SoundFailureKind::kOutOfMemory, {}, {} };
    EXPECT_NE(mix::DescribeSoundFailure(memory).find("out of memory"), std::string::npos);
}

TEST(ReaderBounds, ProjectTrackClaimsPastTheFileAllocateNothingForThem)
{
    // 0xFFFFFFFF events, and 0x0AAAAAAB events whose 24-byte records pass 4 GB.
    for (const std::uint32_t count : { 0xFFFFFFFFu, 0x0AAAAAABu, 0x00100000u }) {
        const Bytes bytes = ProjectFileEndingWith({ 5, 0, count }, 1000);
        auto project = CreateProject();
        platform::ReadError error;
        AllocationProbe probe;
        EXPECT_FALSE(ParseProjectFile(bytes, *project, &error));
        EXPECT_EQ(error.code, platform::ReadErrorCode::kEventsPastEnd) << count;
        EXPECT_LT(probe.counts().largestBytes, kSmallAllocation) << count;
    }
}

TEST(ReaderBounds, ProjectReadingAllocatesInProportionToTheFile)
{
    // 5000 track chunks of one event each, all for track 0: every chunk
    // replaces the track's array, and only the file pays for each.
    Bytes bytes = SerializeProjectFile(*CreateProject());
    bytes.resize(bytes.size() - 4);
    for (std::uint32_t i = 0; i < 5000; ++i) {
        for (const std::uint32_t w : { 5u, 0u, 1u, 1u, i, 0u, 0u, 0u, 0u })
            AppendWord(bytes, w);
    }
    AppendWord(bytes, 2);
    const ScratchFile file(bytes);
    auto project = CreateProject();
    AllocationProbe probe;
    ASSERT_TRUE(ReadProjectFile(file.path(), *project));
    EXPECT_EQ(project->tracks[0].count, 1u);
    EXPECT_LE(probe.counts().largestBytes, bytes.size());
    EXPECT_LE(probe.counts().totalBytes, 3 * bytes.size());
}

TEST(ReaderBounds, ClipboardEventCountsPastTheBlockAllocateNothing)
{
    for (const std::uint32_t count : { 0xFFFFFFFFu, 0x0AAAAAABu, 2u }) {
        Bytes block;
        AppendWord(block, 2);
        AppendWord(block, count);
        block.resize(8 + 24 + 8); // room for one record only
        Track events;
        AllocationProbe probe;
        EXPECT_FALSE(editing::IsEventsBlock(block)) << count;
        EXPECT_FALSE(editing::ReadEventsBlock(block, events)) << count;
        EXPECT_EQ(probe.counts().calls, 0u) << count;
    }
}

TEST(ReaderBounds, MidiClaimsPastTheFileAllocateNothingForThem)
{
    // 65535 tracks announced, and a chunk claiming 4 GB, in a file of 1 kB.
    Bytes bytes { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0xFF, 0xFF, 0x01, 0xE0, 'M', 'T', 'r', 'k',
        0xFF, 0xFF, 0xFF, 0xF0 };
    bytes.resize(1000, 0x11);
    auto project = CreateProject();
    platform::ReadError reason;
    AllocationProbe probe;
    EXPECT_FALSE(import::ImportMidiFile(*project, bytes, &reason));
    EXPECT_EQ(reason.code, platform::ReadErrorCode::kChunkPastEnd);
    EXPECT_LT(probe.counts().largestBytes, kSmallAllocation);
}

TEST(ReaderBounds, ScoreImportsAllocateInProportionToTheFile)
{
    // 200 000 controller events in running status (three bytes each) on one
    // channel: each becomes a 24-byte event. Growing, compacting and sorting
    // the track touch a few copies of it.
    Bytes midi { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k' };
    constexpr std::uint32_t kEvents = 200000;
    const std::uint32_t length = 1 + 3 * kEvents;
    for (int shift = 24; shift >= 0; shift -= 8)
        midi.push_back(static_cast<std::uint8_t>(length >> shift));
    midi.insert(midi.end(), { 0x00, 0xB0, 7 });
    midi.push_back(100);
    for (std::uint32_t i = 1; i < kEvents; ++i)
        midi.insert(midi.end(), { 0x00, 7, 100 });
    {
        import::BuildImportTables();
        auto project = CreateProject();
        AllocationProbe probe;
        ASSERT_TRUE(import::ImportMidiFile(*project, midi));
        ASSERT_EQ(project->tracks[0].count, kEvents);
        EXPECT_LE(probe.counts().largestBytes, 2 * 24 * kEvents + kSmallAllocation);
        EXPECT_LE(probe.counts().totalBytes, 8 * 24 * kEvents + kSmallAllocation);
    }

    // The same number of notes in one chart line of two characters each.
    std::string chart = "#WAV01 a.wav\n#00011:";
    for (std::uint32_t i = 0; i < kEvents; ++i)
        chart += "01";
    const Bytes chartBytes(chart.begin(), chart.end());
    auto project = CreateProject();
    AllocationProbe probe;
    ASSERT_TRUE(import::ImportBmsFile(*project, chartBytes, u"/a/b.bms"));
    ASSERT_EQ(project->tracks[1].count, kEvents + 1); // and the All Stop
    EXPECT_LE(probe.counts().largestBytes, 2 * 24 * kEvents + kSmallAllocation);
    EXPECT_LE(
        probe.counts().totalBytes, 8 * 24 * kEvents + 2 * chartBytes.size() + kSmallAllocation);
}

TEST(ReaderBounds, MidiEventsWithoutResultsAndManyTracksCostOnlyTheFile)
{
    // One million zero-length meta events (delta 0, FF 01 00) in one track,
    // then 20 000 tracks of one note each: neither grows what the import
    // allocates beyond the file's own size and the notes' events.
    constexpr std::uint32_t kMetas = 1000000;
    constexpr std::uint32_t kTracks = 20000;
    const auto be32 = [](Bytes& bytes, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    Bytes midi { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1 };
    midi.push_back(static_cast<std::uint8_t>((kTracks + 1) >> 8));
    midi.push_back(static_cast<std::uint8_t>(kTracks + 1));
    midi.insert(midi.end(), { 0x01, 0xE0, 'M', 'T', 'r', 'k' });
    be32(midi, 4 * kMetas);
    for (std::uint32_t i = 0; i < kMetas; ++i)
        midi.insert(midi.end(), { 0x00, 0xFF, 0x01, 0x00 });
    for (std::uint32_t t = 0; t < kTracks; ++t) {
        midi.insert(midi.end(), { 'M', 'T', 'r', 'k', 0, 0, 0, 4, 0x00, 0x90, 60, 100 });
    }
    import::BuildImportTables();
    auto project = CreateProject();
    AllocationProbe probe;
    ASSERT_TRUE(import::ImportMidiFile(*project, midi));
    EXPECT_EQ(project->tracks[0].count, kTracks);
    // Per file track a small reader state; per note a few copies of its event.
    EXPECT_LE(probe.counts().totalBytes, midi.size() + 8 * 24 * kTracks + 64 * kTracks);
    EXPECT_LT(probe.counts().calls, 1000u);
}

TEST(ReaderBounds, ChartLinesOfTheLastMeasuresCostOnlyTheirNotes)
{
    // Measure 999 reached at once, measures made enormous by a huge length
    // factor, and 100 000 lines of one note each: the clock saturates at the
    // time ceiling and every line costs its note, nothing per measure passed.
    std::string chart = "#WAV01 a.wav\r\n#00002:1e300\r\n";
    constexpr std::uint32_t kLines = 100000;
    for (std::uint32_t i = 0; i < kLines; ++i)
        chart += i < kLines / 2 ? "#99911:01\n\n" : "#00012:01\r";
    const Bytes bytes(chart.begin(), chart.end());
    auto project = CreateProject();
    AllocationProbe probe;
    ASSERT_TRUE(import::ImportBmsFile(*project, bytes, u"/a/b.bms"));
    ASSERT_EQ(project->tracks[1].count, kLines / 2 + 1);
    ASSERT_EQ(project->tracks[2].count, kLines / 2 + 1);
    EXPECT_EQ(project->tracks[1].events[kLines / 2].time, kMaxEditTime);
    // The text decoded to UTF-16, and a few copies of each note's event.
    EXPECT_LE(probe.counts().totalBytes, 4 * bytes.size() + 8 * 24 * kLines + kSmallAllocation);
    EXPECT_LT(probe.counts().calls, 1000u);
}

TEST(ReaderBounds, ChartLineWhoseNotesCannotBeStoredIsNamedByItsOffset)
{
    // A track's first note grows its array by a block of 1024 events, far
    // above the limit below: the first line with a note fails, and the reason
    // gives the offset of that line's first byte in the file.
    const std::string head = "#WAV01 a.wav\r\n#BPM 130\n\r\n";
    import::testing::BmsChart chart;
    chart.raw(head).line("#00011:01").line("#00012:01");
    struct Case {
        Bytes bytes;
        std::uint64_t offset;
    };
    const Case cases[] = {
        { chart.bytes(), head.size() },
        { chart.utf16(false), 2 + 2 * head.size() }, // the mark, then two bytes a character
        { chart.utf16(true), 2 + 2 * head.size() },
    };
    for (const Case& c : cases) {
        auto project = CreateProject();
        platform::ReadError reason;
        AllocationProbe probe;
        probe.refuseAbove(kSmallAllocation);
        EXPECT_FALSE(import::ImportBmsFile(*project, c.bytes, u"/a/b.bms", &reason));
        EXPECT_EQ(reason.code, platform::ReadErrorCode::kOutOfMemory);
        EXPECT_EQ(reason.offset, c.offset);
    }
}

TEST(ReaderBounds, CompressedLengthClaimsAllocateNothingForThem)
{
    if (!test::HaveEncoders())
        GTEST_SKIP() << "the encoders are not installed (scripts/install-deps)";
    const auto folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "compressed-claims";
    std::filesystem::create_directories(folder);
    test::WriteWave16(folder / "tone.wav", 2, 44100, test::ToneSamples(2, 44100, 4410));
    ASSERT_TRUE(test::RunQuietly(test::EncodeCommand(folder / "tone.wav", folder / "tone.flac")));
    Bytes flac = test::ReadBytes(folder / "tone.flac");
    // Claim 2^36 - 1 frames in the stream information: 256 GiB of samples.
    for (int i = 0; i < 5; ++i)
        flac[21 + i] = static_cast<std::uint8_t>(i == 0 ? flac[21] | 0x0F : 0xFF);
    SoundSlot sound;
    platform::ReadError reason;
    AllocationProbe probe;
    EXPECT_FALSE(audio::DecodeCompressedSound(flac, sound, &reason));
    EXPECT_EQ(reason.code, platform::ReadErrorCode::kSoundTooLong);
    EXPECT_LT(probe.counts().largestBytes, 64u * 1024);
    EXPECT_LT(probe.counts().totalBytes, 256u * 1024);
}
