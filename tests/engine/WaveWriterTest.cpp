// SPDX-License-Identifier: MIT
// The offline mix into a WAVE file: sizes, block order and progress, abort,
// write errors and the refusals made before anything is written.

#include "engine/WaveWriter.h"

#include "EngineTestSupport.h"
#include "platform/File.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace vellisto;
using vellisto::test::TestProject;
using V = std::vector<std::int16_t>;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::uint32_t U32At(const Bytes& b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16
        | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

// Records what the writer sends and when; can fail a write or ask for an abort.
class RecordingSink final : public engine::WaveSink {
public:
    explicit RecordingSink(engine::ProgressRecord& progress)
        : m_progress(progress)
    {
    }

    Bytes bytes;
    std::vector<std::size_t> appendSizes;
    std::vector<std::uint32_t> currentAtAppend;
    std::size_t failAppend = SIZE_MAX; // index of the append that fails (after half of it)
    std::size_t abortAfterAppend = SIZE_MAX; // sets the abort request after this append

    bool append(std::span<const std::uint8_t> data) override
    {
        const std::size_t index = appendSizes.size();
        appendSizes.push_back(data.size());
        currentAtAppend.push_back(m_progress.current.load());
        if (index == failAppend) {
            bytes.insert(bytes.end(), data.begin(),
                data.begin() + static_cast<std::ptrdiff_t>(data.size() / 2));
            return false;
        }
        bytes.insert(bytes.end(), data.begin(), data.end());
        if (index == abortAfterAppend)
            m_progress.abort.store(1);
        return true;
    }

    bool rewriteStart(std::span<const std::uint8_t> data, std::uint64_t totalBytes) override
    {
        bytes.resize(totalBytes);
        std::memcpy(bytes.data(), data.data(), data.size());
        return true;
    }

private:
    engine::ProgressRecord& m_progress;
};

// A stereo project of L frames: one sound playing from 0, the last event at L.
TestProject ProjectOfLength(std::uint32_t length, std::uint16_t channels = 2)
{
    TestProject p(channels);
    V samples;
    for (std::uint32_t i = 0; i < 3000 * channels; ++i)
        samples.push_back(static_cast<std::int16_t>(i * 7 % 2000 - 1000));
    p.sound(0, samples);
    p.play(0, 0, 0);
    if (length > 0)
        p.event(1, length, EventType::kVolume, 1024);
    return p;
}

void Prepare(TestProject& p)
{
    ASSERT_TRUE(engine::PrepareMix(p.project(), p.state(), false));
    ASSERT_TRUE(engine::SeekMix(p.project(), p.state(), 0));
}

std::string TempPath(const char* name)
{
    return (std::filesystem::path(VEL_TEST_BUILD_DIR) / name).string();
}

// A complete file of dataBytes sample bytes whose two sizes say so.
void ExpectWaveOf(const Bytes& file, std::uint32_t dataBytes)
{
    ASSERT_EQ(file.size(), 44u + dataBytes);
    EXPECT_EQ(U32At(file, 4), 36u + dataBytes);
    EXPECT_EQ(U32At(file, 40), dataBytes);
}

void ExpectFinished(const engine::ProgressRecord& progress, std::uint32_t result)
{
    EXPECT_EQ(progress.result.load(), result);
    EXPECT_EQ(progress.done.load(), 1u);
}

Bytes ReadFile(const std::string& path) { return platform::ReadWholeFile(path).value_or(Bytes {}); }

} // namespace

TEST(WaveWriter, ProjectWithoutEventsGivesAHeaderOnly)
{
    TestProject p(2);
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    EXPECT_TRUE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    ExpectWaveOf(sink.bytes, 0);
    ExpectFinished(progress, 1);
    EXPECT_EQ(progress.total.load(), 0u);
}

TEST(WaveWriter, WritesExactlyTheFramesBeforeTheLastEvent)
{
    TestProject p = ProjectOfLength(44100);
    Prepare(p);
    const std::string path = TempPath("mix-44100.wav");
    engine::ProgressRecord progress;
    EXPECT_TRUE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), path, progress));
    const Bytes file = ReadFile(path);
    ExpectWaveOf(file, 176400); // RIFF size 176436
    ASSERT_EQ(file.size(), 176444u);
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(U32At(file, 16), 16u);
    EXPECT_EQ(std::memcmp(file.data() + 36, "data", 4), 0);
    EXPECT_EQ(progress.total.load(), 44100u);
    ExpectFinished(progress, 1);

    // The samples are the mix itself.
    const V rendered = p.render(44100);
    EXPECT_EQ(std::memcmp(file.data() + 44, rendered.data(), 176400), 0);
    std::filesystem::remove(path);
}

TEST(WaveWriter, FmtChunkRepeatsTheOutputFormatAsStored)
{
    TestProject p = ProjectOfLength(10, 1);
    p.settings().outputFormat.samplesPerSecond = 12345;
    p.settings().outputFormat.averageBytesPerSecond = 777; // not recomputed
    p.settings().outputFormat.blockAlign = 9;
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    ASSERT_TRUE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    const std::uint8_t expected[16]
        = { 1, 0, 1, 0, 0x39, 0x30, 0, 0, 0x09, 0x03, 0, 0, 9, 0, 16, 0 };
    EXPECT_EQ(std::memcmp(sink.bytes.data() + 20, expected, 16), 0);
    EXPECT_EQ(sink.bytes.size(), 44u + 20u);
}

TEST(WaveWriter, RendersBlockByBlockAndReportsEachStart)
{
    TestProject p = ProjectOfLength(2500);
    p.settings().bufferLength = 1024;
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    ASSERT_TRUE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    EXPECT_EQ(sink.appendSizes, (std::vector<std::size_t> { 44, 4096, 4096, 1808 }));
    EXPECT_EQ(sink.currentAtAppend, (std::vector<std::uint32_t> { 0, 0, 1024, 2048 }));
    EXPECT_EQ(U32At(sink.bytes, 40), 10000u);
}

TEST(WaveWriter, AbortBeforeTheFirstBlockLeavesAValidEmptyFile)
{
    TestProject p = ProjectOfLength(2500);
    Prepare(p);
    engine::ProgressRecord progress;
    progress.abort.store(1);
    RecordingSink sink(progress);
    EXPECT_FALSE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    ExpectWaveOf(sink.bytes, 0); // sizes rewritten to the frames actually written
    EXPECT_EQ(progress.total.load(), 2500u);
    ExpectFinished(progress, 0);
}

TEST(WaveWriter, AbortBetweenBlocksKeepsTheBlocksWritten)
{
    TestProject p = ProjectOfLength(2500);
    p.settings().bufferLength = 1024;
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    sink.abortAfterAppend = 2; // after the second block
    EXPECT_FALSE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    ExpectWaveOf(sink.bytes, 8192);
    EXPECT_EQ(progress.current.load(), 2048u);
    ExpectFinished(progress, 0);
}

TEST(WaveWriter, WriteErrorGivesResultZeroAndAValidShorterFile)
{
    TestProject p = ProjectOfLength(2500);
    p.settings().bufferLength = 1024;
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    sink.failAppend = 2; // the second block fails halfway
    EXPECT_FALSE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    ExpectWaveOf(sink.bytes, 4096); // the partial block is cut off
    ExpectFinished(progress, 0);
}

TEST(WaveWriter, FullFileSystemOnARealFileIsRepaired)
{
    // A file size limit makes writes past 10000 bytes fail as a full disk would.
    TestProject p = ProjectOfLength(5000);
    p.settings().bufferLength = 1024;
    Prepare(p);
    const std::string path = TempPath("mix-full.wav");
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 10000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    engine::ProgressRecord progress;
    const bool ok = engine::WriteWaveFile(p.project(), p.state(), p.setup(), path, progress);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    ExpectFinished(progress, 0);
    ExpectWaveOf(ReadFile(path), 8192); // two whole blocks of 4096 bytes fitted
    std::filesystem::remove(path);
}

TEST(WaveWriter, FormatsTheEngineCannotRenderAreRefusedBeforeWriting)
{
    const std::string path = TempPath("mix-refused.wav");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("keep me", f);
        std::fclose(f);
    }
    struct Case {
        std::uint16_t channels;
        std::uint16_t bits;
        std::uint16_t tag;
    };
    for (const Case c : { Case { 3, 16, 1 }, Case { 0, 16, 1 }, Case { 2, 8, 1 }, Case { 2, 24, 1 },
             Case { 2, 16, 3 } }) {
        TestProject p = ProjectOfLength(100);
        OutputFormat& format = p.settings().outputFormat;
        format.channels = c.channels;
        format.bitsPerSample = c.bits;
        format.formatTag = c.tag;
        CompleteOutputFormat(format);
        EXPECT_FALSE(engine::PlanMix(p.project(), format).ok());
        Prepare(p);
        engine::ProgressRecord progress;
        EXPECT_FALSE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), path, progress));
        ExpectFinished(progress, 0);
    }
    EXPECT_EQ(ReadFile(path), (Bytes { 'k', 'e', 'e', 'p', ' ', 'm', 'e' }));
    std::filesystem::remove(path);
}

TEST(WaveWriter, MixesTooLongForAWaveFileAreRefusedBeforeWriting)
{
    TestProject p = ProjectOfLength(0x7FFFFFFF);
    const engine::MixPlan plan = engine::PlanMix(p.project(), p.settings().outputFormat);
    EXPECT_EQ(plan.frames, 0x7FFFFFFFu);
    EXPECT_EQ(plan.dataBytes, 0x1FFFFFFFCull);
    EXPECT_TRUE(plan.formatRenderable);
    EXPECT_FALSE(plan.fitsWaveFile);
    Prepare(p);
    engine::ProgressRecord progress;
    RecordingSink sink(progress);
    EXPECT_FALSE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), sink, progress));
    EXPECT_TRUE(sink.bytes.empty());
    EXPECT_EQ(progress.done.load(), 1u);

    // The largest mono mix that fits: 36 + 2 L <= 0xFFFFFFFF.
    TestProject mono = ProjectOfLength(0x7FFFFFED, 1);
    EXPECT_TRUE(engine::PlanMix(mono.project(), mono.settings().outputFormat).fitsWaveFile);
    TestProject over = ProjectOfLength(0x7FFFFFEE, 1);
    EXPECT_FALSE(engine::PlanMix(over.project(), over.settings().outputFormat).fitsWaveFile);
}

TEST(WaveWriter, MixLengthIsTheLatestLastEventOfAnyTrack)
{
    TestProject p(2);
    EXPECT_EQ(engine::MixLength(p.project()), 0u);
    p.event(3, 500, EventType::kVolume, 1).event(3, 700, EventType::kVolume, 1);
    p.event(9, 0x80000000u, EventType::kVolume, 1); // compared unsigned
    p.project().tracks[9].flags = kTrackMuted; // muted tracks count too
    EXPECT_EQ(engine::MixLength(p.project()), 0x80000000u);
}

TEST(WaveWriter, WritesThroughACallersOpenFile)
{
    TestProject p = ProjectOfLength(300, 1);
    Prepare(p);
    const std::string target = TempPath("mix-atomic.wav");
    platform::AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    engine::ProgressRecord progress;
    ASSERT_TRUE(engine::WriteWaveFile(p.project(), p.state(), p.setup(), writer.file(), progress));
    ASSERT_TRUE(writer.commit());
    ExpectWaveOf(ReadFile(target), 600);
    std::filesystem::remove(target);
}
