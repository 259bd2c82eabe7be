// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

#include "audio/AudioTestUtil.h"
#include "audio/SincTables.h"
#include "mix/MixTestUtil.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::mix;
using vellisto::test::MixFolder;
using vellisto::test::PcmFormat;
using vellisto::test::SetName;
using vellisto::test::U16;

namespace {

std::u16string NameOf(const SoundSlot& slot)
{
    return { slot.fileName.data(), NameLength(slot.fileName) };
}

class SoundPreparation : public MixFolder {
protected:
    void SetUp() override
    {
        MixFolder::SetUp();
        audio::BuildSincTables();
        project = CreateProject();
    }

    std::unique_ptr<Project> project;
};

TEST(SoundCache, BaseDirectoryCases)
{
    auto project = CreateProject();
    SoundSlot& slot = project->sounds[0];
    SetName(slot.fileName, u"\\kick.wav");

    // A base path is used exactly as stored (no separator added or removed),
    // then converted as a stored name.
    SetName(project->settings.basePath, u"D:\\snd");
    EXPECT_EQ(SoundFilePath(*project, "/p/song.spj", slot), "D:/snd/kick.wav");
    SetName(project->settings.basePath, u"D:\\snd\\");
    EXPECT_EQ(SoundFilePath(*project, "/p/song.spj", slot), "D:/snd//kick.wav");

    // Without one, the document's native folder, its bytes untouched: a '\'
    // in a folder name is part of the name there.
    project->settings.basePath = {};
    EXPECT_EQ(SoundFilePath(*project, "/p/song.spj", slot), "/p/kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "/home/u/a\\b/song.spj", slot), "/home/u/a\\b/kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "/home/\xff\xfe/song.spj", slot), "/home/\xff\xfe/kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "/song.spj", slot), "/kick.wav");

    // An unsaved project (no folder in its path) uses the program's folder.
    const std::string program = platform::ExecutableFolder();
    ASSERT_EQ(program.back(), '/');
    EXPECT_EQ(SoundFilePath(*project, "", slot), program + "kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "song.spj", slot), program + "kick.wav");

    // Other names are used as stored, whatever the base path.
    SetName(project->settings.basePath, u"D:\\snd");
    SetName(slot.fileName, u"E:\\abs\\kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "/p/song.spj", slot), "E:/abs/kick.wav");
    SetName(slot.fileName, u"sub\\kick.wav");
    EXPECT_EQ(SoundFilePath(*project, "/p/song.spj", slot), "sub/kick.wav");
}

TEST(SoundCache, FullPathOf260CharactersIsRefused)
{
    auto project = CreateProject();
    SoundSlot& slot = project->sounds[3];
    const std::u16string base(250, u'd');
    SetName(project->settings.basePath, base);
    SetName(slot.fileName, u"\\12345678"); // 250 + 9 = 259: still fits
    EXPECT_EQ(SoundFilePath(*project, "", slot)->size(), 259u);
    SetName(slot.fileName, u"\\123456789"); // 260: refused
    EXPECT_FALSE(SoundFilePath(*project, "", slot));

    // Without a base path the document's folder counts as stored characters.
    project->settings.basePath = {};
    SetName(slot.fileName, u"\\k.wav");
    const std::string folder = "/" + std::string(252, 'd');
    EXPECT_TRUE(SoundFilePath(*project, folder + "/s.spj", slot)); // 253 + 6 = 259
    EXPECT_FALSE(SoundFilePath(*project, folder + "d/s.spj", slot)); // 260
    SetName(slot.fileName, u"\\123456789");
    SetName(project->settings.basePath, base);

    SoundFailure failure;
    EXPECT_FALSE(PrepareSound(*project, "", 3, &failure));
    EXPECT_EQ(failure.kind, SoundFailureKind::kPathTooLong);
    EXPECT_EQ(NameOf(slot), u"\\123456789");
    EXPECT_EQ(slot.samples, nullptr);
}

TEST_F(SoundPreparation, ReadsRelativeNamesFromBasePathAndDocumentFolder)
{
    writeWave("kick.wav", 1, 44100, { 1, 2, 3 });
    SoundSlot& slot = project->sounds[7];
    SetName(slot.fileName, u"\\kick.wav");
    project->settings.outputFormat = PcmFormat(1, 44100, 16);

    // Base path without and with a trailing separator.
    for (const std::string& base : { folder(), folder() + "/" }) {
        SetName(project->settings.basePath, U16(base));
        ClearCache(*project);
        ASSERT_TRUE(PrepareSound(*project, "/nowhere/song.spj", 7)) << base;
        EXPECT_EQ(vellisto::test::Samples16(slot), (std::vector<int> { 1, 2, 3 }));
        EXPECT_EQ(NameOf(slot), u"\\kick.wav");
    }

    // The document's folder when the base path is empty; a wrong base path fails.
    project->settings.basePath = {};
    ClearCache(*project);
    EXPECT_TRUE(PrepareSound(*project, folder() + "/song.spj", 7));
    SetName(project->settings.basePath, u"/nowhere");
    ClearCache(*project);
    SoundFailure failure;
    EXPECT_FALSE(PrepareSound(*project, folder() + "/song.spj", 7, &failure));
    EXPECT_EQ(failure.kind, SoundFailureKind::kUnreadable);
    EXPECT_EQ(failure.path, "/nowhere/kick.wav");
    EXPECT_EQ(NameOf(slot), u"\\kick.wav"); // the stored name survives a failure too
}

TEST_F(SoundPreparation, ConvertsToTheOutputFormat)
{
    writeWave("pad.wav", 1, 22050, { 1000, 1000, 1000, 1000 });
    SoundSlot& slot = project->sounds[0];
    SetName(slot.fileName, U16(path("pad.wav")));
    project->settings.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
    ASSERT_TRUE(PrepareSound(*project, "", 0));
    // 22050 Hz mono to 44100 Hz stereo: twice the frames, two channels each.
    EXPECT_TRUE(SameFormatKey(slot.dataFormat, project->settings.outputFormat));
    EXPECT_EQ(slot.sampleBytes, 8u * 2 * 2);
    EXPECT_EQ(NameOf(slot), U16(path("pad.wav")));
}

TEST_F(SoundPreparation, ReusesCachedSamplesUntilTheFormatChanges)
{
    writeWave("hat.wav", 1, 44100, { 5, 6, 7, 8 });
    SoundSlot& slot = project->sounds[2];
    SetName(slot.fileName, u"\\hat.wav");
    const std::string document = folder() + "/song.spj";
    ASSERT_TRUE(PrepareSound(*project, document, 2));
    const std::uint32_t stereoBytes = slot.sampleBytes;
    EXPECT_EQ(stereoBytes, 4u * 2 * 2);

    // A second preparation reads no file: it works with the file gone.
    std::filesystem::remove(path("hat.wav"));
    EXPECT_TRUE(PrepareSound(*project, document, 2));
    EXPECT_EQ(slot.sampleBytes, stereoBytes);

    // extraSize is not part of the key.
    project->settings.outputFormat.extraSize = 22;
    EXPECT_TRUE(PrepareSound(*project, document, 2));

    // A new output rate makes the samples stale: the file is read again.
    project->settings.outputFormat = PcmFormat(2, 22050, 16);
    EXPECT_FALSE(PrepareSound(*project, document, 2));
    EXPECT_EQ(slot.samples, nullptr);
    writeWave("hat.wav", 1, 44100, { 5, 6, 7, 8 });
    project->settings.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
    ASSERT_TRUE(PrepareSound(*project, document, 2));
    EXPECT_EQ(slot.sampleBytes, 2u * 2 * 2);

    ClearCache(*project);
    EXPECT_EQ(slot.samples, nullptr);
    EXPECT_EQ(slot.sampleBytes, 0u);
}

TEST_F(SoundPreparation, FailedSoundsGoToTheHandlerWhichDecides)
{
    writeWave("ok.wav", 2, 44100, { 1, 1 });
    SetName(project->sounds[1].fileName, u"\\ok.wav");
    SetName(project->sounds[4].fileName, u"\\missing.wav");
    SetName(project->sounds[9].fileName, u"\\gone.wav");
    // An empty slot that still holds samples loses them.
    vellisto::test::SetSamples(project->sounds[20], PcmFormat(2, 44100, 16), { 1, 2 });
    const std::string document = folder() + "/song.spj";

    // The handler hears of each failure in ID order and decides whether to go on.
    std::vector<std::pair<std::uint32_t, std::string>> reported;
    const auto goOn = [&](std::uint32_t id, const SoundFailure& failure) {
        reported.emplace_back(id, failure.path);
        return true;
    };
    EXPECT_TRUE(PrepareAllSounds(*project, document, goOn));
    EXPECT_NE(project->sounds[1].samples, nullptr);
    EXPECT_EQ(project->sounds[4].samples, nullptr);
    EXPECT_EQ(project->sounds[20].samples, nullptr);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0], std::make_pair(4u, folder() + "/missing.wav"));
    EXPECT_EQ(reported[1].first, 9u);

    // Giving up at the first failure stops at once; so does a stop request.
    reported.clear();
    EXPECT_FALSE(PrepareAllSounds(*project, document, [&](std::uint32_t id, const SoundFailure&) {
        reported.emplace_back(id, "");
        return false;
    }));
    EXPECT_EQ(reported.size(), 1u);
    ClearCache(*project);
    EXPECT_FALSE(PrepareAllSounds(*project, document, goOn, [] { return true; }));
    EXPECT_EQ(project->sounds[1].samples, nullptr);
}

} // namespace
