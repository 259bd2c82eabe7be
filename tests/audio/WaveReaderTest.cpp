// SPDX-License-Identifier: MIT
#include "audio/WaveReader.h"

#include "audio/AudioTestUtil.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

using namespace vellisto;
using namespace vellisto::audio;
using vellisto::platform::ReadError;
using vellisto::platform::ReadErrorCode;
using vellisto::test::GuardZonesZero;
using vellisto::test::WaveBytes;

namespace {

std::vector<std::uint8_t> SampleBytes(const SoundSlot& sound)
{
    return { sound.samples, sound.samples + sound.sampleBytes };
}

ReadError ParseError(const std::vector<std::uint8_t>& file)
{
    SoundSlot sound;
    ReadError reason;
    EXPECT_FALSE(ParseWaveFile(file, sound, &reason));
    EXPECT_EQ(sound.samples, nullptr);
    EXPECT_EQ(sound.sampleBytes, 0u);
    return reason;
}

} // namespace

TEST(WaveReader, ReadsStereo16WithListChunkBetweenFormatAndData)
{
    const std::vector<std::int16_t> samples { 1, -1, 32767, -32768, 0x1234, -0x1234 };
    const auto file = WaveBytes {}
                          .fmt(1, 2, 44100, 16)
                          .chunk("LIST", { 'I', 'N', 'F', 'O', 'x' })
                          .data16(samples)
                          .file();
    SoundSlot sound;
    ASSERT_TRUE(ParseWaveFile(file, sound));
    EXPECT_EQ(sound.dataFormat.formatTag, 1);
    EXPECT_EQ(sound.dataFormat.channels, 2);
    EXPECT_EQ(sound.dataFormat.samplesPerSecond, 44100u);
    EXPECT_EQ(sound.dataFormat.averageBytesPerSecond, 176400u);
    EXPECT_EQ(sound.dataFormat.blockAlign, 4);
    EXPECT_EQ(sound.dataFormat.bitsPerSample, 16);
    // The samples are the file's data bytes exactly.
    const std::vector<std::uint8_t> expected(file.end() - 12, file.end());
    EXPECT_EQ(SampleBytes(sound), expected);
    EXPECT_TRUE(GuardZonesZero(sound));
}

TEST(WaveReader, StoresEightBitSamplesSigned)
{
    SoundSlot sound;
    ASSERT_TRUE(
        ParseWaveFile(WaveBytes {}.pcm8(1, 8000, { 0x80, 0x00, 0xFF, 0x81 }).file(), sound));
    ASSERT_EQ(sound.sampleBytes, 4u);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[0]), 0);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[1]), -128);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[2]), 127);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[3]), 1);
    EXPECT_TRUE(GuardZonesZero(sound));
}

TEST(WaveReader, SkipsPadByteOfOddDataChunk)
{
    // The format chunk after the odd data chunk is found only if the pad byte
    // is skipped; without a format the samples would be refused. The 8-bit
    // conversion follows the format read last.
    const auto file = WaveBytes {}.data({ 0x80, 0x90, 0x70 }).fmt(1, 1, 22050, 8).file();
    SoundSlot sound;
    ASSERT_TRUE(ParseWaveFile(file, sound));
    ASSERT_EQ(sound.sampleBytes, 3u);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[1]), 0x10);
    EXPECT_EQ(static_cast<std::int8_t>(sound.samples[2]), -0x10);
    EXPECT_EQ(sound.dataFormat.samplesPerSecond, 22050u);
    EXPECT_TRUE(GuardZonesZero(sound));
}

TEST(WaveReader, LaterDataChunkReplacesEarlier)
{
    const auto file = WaveBytes {}.fmt(1, 1, 8000, 16).data16({ 1, 2, 3 }).data16({ 7 }).file();
    SoundSlot sound;
    ASSERT_TRUE(ParseWaveFile(file, sound));
    EXPECT_EQ(test::Samples16(sound), std::vector<int> { 7 });
    EXPECT_TRUE(GuardZonesZero(sound));
}

TEST(WaveReader, AcceptsLongerPcmFormatChunksAndRefusesOtherTags)
{
    for (const std::uint16_t extra : { 0, 22 }) { // 18 and 40 bytes
        const auto file = WaveBytes {}.fmt(1, 1, 8000, 16, extra).data16({ 5, 6 }).file();
        SoundSlot sound;
        EXPECT_TRUE(ParseWaveFile(file, sound)) << extra;
        EXPECT_EQ(test::Samples16(sound), (std::vector<int> { 5, 6 }));
    }
    for (const std::uint16_t formatTag : { 3, 0xFFFE, 0 }) {
        const auto file = WaveBytes {}.fmt(formatTag, 1, 8000, 16, 22).data16({ 5 }).file();
        EXPECT_EQ(ParseError(file).code, ReadErrorCode::kNotPcm) << formatTag;
    }
    for (const std::uint16_t bits : { 4, 12, 24, 32 }) {
        const auto file = WaveBytes {}.fmt(1, 1, 8000, bits).data16({ 5 }).file();
        EXPECT_EQ(ParseError(file).code, ReadErrorCode::kUnsupportedBits) << bits;
    }
    const auto shortFormat = WaveBytes {}.chunk("fmt ", std::vector<std::uint8_t>(14, 1)).file();
    EXPECT_EQ(ParseError(shortFormat).code, ReadErrorCode::kFormatTooShort);
}

TEST(WaveReader, AcceptsAnyChannelCountAndRate)
{
    SoundSlot three;
    ASSERT_TRUE(ParseWaveFile(WaveBytes {}.pcm16(3, 8000, { 1, 2, 3 }).file(), three));
    EXPECT_EQ(three.dataFormat.channels, 3);
    EXPECT_EQ(three.dataFormat.samplesPerSecond, 8000u);
}

TEST(WaveReader, SucceedsWithoutSamplesWhenBodyHoldsNoData)
{
    const std::vector<std::vector<std::uint8_t>> files {
        WaveBytes {}.fmt(1, 2, 44100, 16).file(), // format only
        WaveBytes {}.riffSize(0).file(), // RIFF size 0
        WaveBytes {}.formType("AVI ").pcm16(1, 8000, { 1, 2 }).file(), // not a WAVE form
        WaveBytes {}.file(), // nothing after "WAVE"
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        SoundSlot sound;
        EXPECT_TRUE(ParseWaveFile(files[i], sound)) << i;
        EXPECT_EQ(sound.samples, nullptr) << i;
        EXPECT_EQ(sound.sampleBytes, 0u) << i;
    }
}

TEST(WaveReader, EmptyDataChunkHasGuardZones)
{
    SoundSlot sound;
    ASSERT_TRUE(ParseWaveFile(WaveBytes {}.pcm16(2, 44100, {}).file(), sound));
    EXPECT_NE(sound.samples, nullptr);
    EXPECT_EQ(sound.sampleBytes, 0u);
    EXPECT_TRUE(GuardZonesZero(sound));
}

TEST(WaveReader, RefusesSlotThatAlreadyHoldsSamples)
{
    SoundSlot sound;
    test::SetSamples(sound, test::PcmFormat(1, 8000, 16), { 42, 43 });
    std::uint8_t* before = sound.samples;
    ReadError reason;
    EXPECT_FALSE(ParseWaveFile(WaveBytes {}.pcm16(1, 8000, { 1 }).file(), sound, &reason));
    EXPECT_EQ(reason.code, ReadErrorCode::kAlreadyHoldsSamples);
    EXPECT_EQ(sound.samples, before);
    EXPECT_EQ(test::Samples16(sound), (std::vector<int> { 42, 43 }));
}

TEST(WaveReader, RefusesOversizedAndUnjustifiedDataChunks)
{
    // A tiny file claiming almost 4 GB of data fails before anything is allocated.
    // The reason points at the "data" chunk's header: 12 bytes of RIFF
    // header and 24 of "fmt " chunk come first.
    const auto huge = WaveBytes {}.fmt(1, 1, 8000, 16).tag("data").u32(0xFFFFFF00u).u32(0).file();
    EXPECT_EQ(ParseError(huge).code, ReadErrorCode::kDataTooLarge);
    EXPECT_EQ(ParseError(huge).offset, 36u);
    const auto claim = WaveBytes {}.fmt(1, 1, 8000, 16).tag("data").u32(0x10000000u).u32(0).file();
    EXPECT_EQ(ParseError(claim).code, ReadErrorCode::kChunkPastEnd);
    EXPECT_EQ(ParseError(claim).offset, 36u);
    // The same for a second data chunk: the first one's block is released too.
    const auto second = WaveBytes {}.pcm16(1, 8000, { 1, 2 }).tag("data").u32(100).u32(0).file();
    EXPECT_EQ(ParseError(second).code, ReadErrorCode::kChunkPastEnd);
    EXPECT_EQ(ParseError(second).offset, 36u + 12u);
}

TEST(WaveReader, RefusesSamplesWithoutUsableFormat)
{
    // Found once the whole file is read: no place to point at.
    const ReadError withoutFormat = ParseError(WaveBytes {}.data16({ 1, 2 }).file());
    EXPECT_EQ(withoutFormat.code, ReadErrorCode::kDataWithoutFormat);
    EXPECT_FALSE(withoutFormat.offset.has_value());
    const auto zeroAlign = WaveBytes {}
                               .tag("fmt ")
                               .u32(16)
                               .u16(1)
                               .u16(1)
                               .u32(8000)
                               .u32(16000)
                               .u16(0)
                               .u16(16)
                               .data16({ 1 })
                               .file();
    EXPECT_EQ(ParseError(zeroAlign).code, ReadErrorCode::kUnusableFormat);
    EXPECT_EQ(
        ParseError(WaveBytes {}.pcm16(1, 0, { 1 }).file()).code, ReadErrorCode::kUnusableFormat);
}

TEST(WaveReader, ChecksRiffHeader)
{
    auto file = WaveBytes {}.pcm16(1, 8000, { 1, 2 }).file();
    auto notRiff = file;
    notRiff[3] = 'X';
    EXPECT_EQ(ParseError(notRiff).code, ReadErrorCode::kNotRiff);
    EXPECT_EQ(ParseError(notRiff).offset, 0u);
    auto tooLarge = WaveBytes {}
                        .pcm16(1, 8000, { 1, 2 })
                        .riffSize(static_cast<std::uint32_t>(file.size() - 7))
                        .file();
    EXPECT_EQ(ParseError(tooLarge).code, ReadErrorCode::kRiffSizeExceedsFile);
    // A RIFF size below the file's length reads only the body it covers.
    file.insert(file.end(), { 'j', 'u', 'n', 'k' });
    SoundSlot sound;
    EXPECT_TRUE(ParseWaveFile(file, sound));
    EXPECT_EQ(test::Samples16(sound), (std::vector<int> { 1, 2 }));
}

TEST(WaveReader, HandlesTruncationAtEveryLength)
{
    // Layout: header 0-11, "fmt " 12-35, "LIST" 36-49 (body 44-49), "data" 50-69.
    const auto full = WaveBytes {}
                          .fmt(1, 2, 44100, 16)
                          .chunk("LIST", { 1, 2, 3, 4, 5, 6 })
                          .data16({ 1, 2, 3, 4, 5, 6 })
                          .file();
    ASSERT_EQ(full.size(), 70u);
    // With the RIFF size fitted to the cut file, a cut at a chunk boundary
    // ends the body cleanly, and a cut inside a skipped chunk ends it by
    // skipping past the end; every other cut leaves a read short.
    std::set<std::size_t> succeeds { 8, 12, 36, 44, 45, 46, 47, 48, 49, 50, 70 };
    for (std::size_t length = 0; length <= full.size(); ++length) {
        std::vector<std::uint8_t> cut(
            full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        if (length >= 8) {
            const auto riff = static_cast<std::uint32_t>(length - 8);
            for (int b = 0; b < 4; ++b)
                cut[4 + b] = static_cast<std::uint8_t>(riff >> (8 * b));
        }
        SoundSlot sound;
        EXPECT_EQ(ParseWaveFile(cut, sound), succeeds.count(length) == 1) << length;
        EXPECT_EQ(sound.samples != nullptr, length == full.size()) << length;
    }
    // Keeping the original RIFF size, every cut file is shorter than it claims.
    for (std::size_t length = 0; length < full.size(); ++length) {
        SoundSlot sound;
        EXPECT_FALSE(ParseWaveFile({ full.data(), length }, sound)) << length;
    }
}

TEST(WaveReader, MalformedCorpusFailsCleanly)
{
    const std::filesystem::path folder = VEL_TEST_DATA_DIR "/malformed/wave";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SoundSlot sound;
        ReadError reason;
        EXPECT_FALSE(ReadWaveFileAt(entry.path().string(), sound, &reason)) << entry.path();
        EXPECT_NE(reason.code, ReadErrorCode::kNone) << entry.path();
        EXPECT_NE(reason.code, ReadErrorCode::kCannotOpen) << entry.path();
        EXPECT_EQ(sound.samples, nullptr) << entry.path();
        ++count;
    }
    EXPECT_GE(count, 10);
}

TEST(WaveReader, ReadsFileNamedBySlot)
{
    const std::filesystem::path path
        = std::filesystem::path(VEL_TEST_BUILD_DIR) / "wave-reader-slot-name.wav";
    const auto file = WaveBytes {}.pcm16(1, 8000, { -5, 5 }).file();
    std::ofstream(path, std::ios::binary)
        .write(
            reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    SoundSlot sound;
    const std::u16string name = path.u16string();
    ASSERT_LT(name.size(), sound.fileName.size());
    std::copy(name.begin(), name.end(), sound.fileName.begin());
    ASSERT_TRUE(ReadWaveFile(sound));
    EXPECT_EQ(test::Samples16(sound), (std::vector<int> { -5, 5 }));
    EXPECT_FALSE(ReadWaveFile(sound)); // it holds samples now
    FreeSampleData(sound);
    EXPECT_EQ(sound.samples, nullptr);
    EXPECT_EQ(sound.sampleBytes, 0u);
    FreeSampleData(sound); // safe without samples

    std::filesystem::remove(path);
    EXPECT_FALSE(ReadWaveFile(sound));
    SoundSlot unnamed;
    EXPECT_FALSE(ReadWaveFile(unnamed));
}

// Reading from a file goes through a window of 64 KiB with the samples copied
// straight into their block; it must give exactly what reading the same bytes
// in memory gives: the same answer, reason, format and samples.
TEST(WaveReader, FileAndMemoryReadingsAgree)
{
    std::vector<std::uint8_t> big(150001);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    const std::vector<std::uint8_t> junk(65531, 0x33); // pushes later headers over the window edge
    std::vector<std::vector<std::uint8_t>> files {
        WaveBytes {}.pcm16(2, 44100, { 1, -2, 3, -4 }).file(),
        WaveBytes {}.chunk("junk", junk).fmt(1, 1, 8000, 8).data(big).file(),
        WaveBytes {}.fmt(1, 2, 22050, 16).chunk("LIST", junk).data(big).chunk("junk", junk).file(),
        WaveBytes {}.chunk("junk", junk).fmt(1, 1, 8000, 16).data(big).data({ 9, 8 }).file(),
        WaveBytes {}.fmt(1, 1, 8000, 16).chunk("junk", junk).tag("data").u32(0x7FFFFFF0).file(),
    };
    // Every cut of the second file (headers, window edges, the samples).
    const std::vector<std::uint8_t> cutFrom = files[1];
    for (const std::size_t length : { std::size_t { 0 }, std::size_t { 7 }, std::size_t { 12 },
             std::size_t { 65540 }, std::size_t { 65547 }, std::size_t { 65560 },
             std::size_t { 65580 }, std::size_t { 100000 }, cutFrom.size() - 1 })
        files.emplace_back(cutFrom.begin(), cutFrom.begin() + static_cast<std::ptrdiff_t>(length));

    const std::filesystem::path path
        = std::filesystem::path(VEL_TEST_BUILD_DIR) / "wave-reader-file-and-memory.wav";
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(files[i].data()),
                static_cast<std::streamsize>(files[i].size()));
        SoundSlot fromMemory;
        SoundSlot fromFile;
        ReadError memoryReason;
        ReadError fileReason;
        const bool memoryRead = ParseWaveFile(files[i], fromMemory, &memoryReason);
        ASSERT_EQ(ReadWaveFileAt(path.string(), fromFile, &fileReason), memoryRead) << i;
        EXPECT_EQ(fileReason.code, memoryReason.code) << i;
        EXPECT_EQ(fileReason.offset, memoryReason.offset) << i;
        if (memoryRead) {
            EXPECT_TRUE(SameFormatKey(fromFile.dataFormat, fromMemory.dataFormat)) << i;
            EXPECT_EQ(SampleBytes(fromFile), SampleBytes(fromMemory)) << i;
            EXPECT_TRUE(GuardZonesZero(fromFile)) << i;
        } else {
            EXPECT_EQ(fromFile.samples, nullptr) << i;
        }
    }
    std::filesystem::remove(path);
}
