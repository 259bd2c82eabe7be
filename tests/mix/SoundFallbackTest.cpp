// SPDX-License-Identifier: MIT
// A sound whose named file is missing is looked for under other extensions,
// in a fixed order and without regard to case; what is found is read and
// converted exactly as the named file would have been, and is what the sound
// report names.

#include "audio/CompressedTools.h"
#include "audio/SincTables.h"
#include "mix/MixTestUtil.h"
#include "mix/SoundCache.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::mix;
using vellisto::test::MixFolder;
using vellisto::test::PcmFormat;
using vellisto::test::SetName;
using vellisto::test::U16;

namespace {

class SoundFallback : public MixFolder {
protected:
    void SetUp() override
    {
        MixFolder::SetUp();
        audio::BuildSincTables();
        project = CreateProject();
        document = folder() + "/song.bms";
    }

    void touch(const std::string& name, const std::string& contents = "x") const
    {
        const auto file = std::filesystem::path(path(name));
        std::filesystem::create_directories(file.parent_path());
        test::WriteBytes(file, { contents.begin(), contents.end() });
    }

    std::unique_ptr<Project> project;
    std::string document;
};

// The first bytes of an Ogg Vorbis file: enough for the report to tell its kind.
const std::string kOggVorbisHead
    = std::string("OggS") + std::string(22, '\0') + '\x01' + '\x1e' + "\x01vorbis";

} // namespace

TEST_F(SoundFallback, OtherExtensionsAreTriedInOrderWithoutRegardToCase)
{
    struct Case {
        std::vector<std::string> files;
        std::u16string name;
        std::string used; // relative to the folder; empty: none found
        bool substituted;
    };
    const Case cases[] = {
        { { "kick.flac", "kick.ogg" }, u"\\kick.wav", "kick.ogg", true },
        { { "kick.mp3", "kick.flac" }, u"\\kick.wav", "kick.flac", true },
        { { "kick.mp3", "kick.opus" }, u"\\kick.wav", "kick.opus", true },
        { { "kick.mp3" }, u"\\kick.wav", "kick.mp3", true },
        // .wav comes last, for names that give another extension or none.
        { { "kick.wav", "kick.mp3" }, u"\\kick.ogg", "kick.mp3", true },
        { { "kick.wav" }, u"\\kick.ogg", "kick.wav", true },
        { { "kick.ogg" }, u"\\kick", "kick.ogg", true },
        // Each candidate is matched without regard to case.
        { { "KICK.OGG" }, u"\\Kick.WAV", "KICK.OGG", true },
        { { "Drums/Kick.Flac" }, u"\\drums\\kick.wav", "Drums/Kick.Flac", true },
        // Only the extension of the last component is replaced.
        { { "set.v2/kick.ogg" }, u"\\set.v2\\kick.wav", "set.v2/kick.ogg", true },
        { { "kick.v2.ogg" }, u"\\kick.v2.wav", "kick.v2.ogg", true },
        // An existing file is used whatever it is; nothing else is tried.
        { { "kick.wav", "kick.ogg" }, u"\\kick.wav", "kick.wav", false },
        { { "kick.WAV", "kick.ogg" }, u"\\kick.wav", "kick.WAV", false },
        // No candidate: the named path, not found.
        { { "kick.aiff", "kick.wav.ogg" }, u"\\kick.wav", "", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::Utf16ToUtf8(c.name) + " -> " + c.used);
        std::filesystem::remove_all(folder());
        std::filesystem::create_directories(folder());
        for (const std::string& file : c.files)
            touch(file);
        SoundSlot& slot = project->sounds[1];
        SetName(slot.fileName, c.name);
        const auto resolved = ResolveSoundFile(*project, document, slot);
        ASSERT_TRUE(resolved);
        EXPECT_EQ(resolved->exists, !c.used.empty());
        EXPECT_EQ(resolved->substituted, c.substituted);
        EXPECT_EQ(resolved->path, path(c.used.empty() ? "kick.wav" : c.used));
        EXPECT_EQ(SoundFilePath(*project, document, slot), resolved->path);
    }
}

TEST_F(SoundFallback, SubstituteTooLongForANameIsPassedOver)
{
    // Base path + "\k.wav" is 259 characters; "\k.flac" would be 260.
    const std::string base = folder() + "/" + std::string(259 - folder().size() - 1 - 6, 'd');
    std::filesystem::create_directories(base);
    test::WriteBytes(base + "/k.flac", { 1 });
    test::WriteBytes(base + "/k.mp3", { 1 });
    SetName(project->settings.basePath, U16(base));
    SoundSlot& slot = project->sounds[0];
    SetName(slot.fileName, u"\\k.wav");
    const auto resolved = ResolveSoundFile(*project, document, slot);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->path, base + "/k.mp3");
}

TEST_F(SoundFallback, SubstituteIsReadAndConvertedLikeTheNamedFile)
{
    if (!test::HaveEncoders())
        GTEST_SKIP() << "the encoders are not installed (scripts/install-deps)";
    const auto samples = test::ToneSamples(1, 22050, 2205);
    test::WriteWave16(path("original.wav"), 1, 22050, samples);
    ASSERT_TRUE(test::RunQuietly(test::EncodeCommand(path("original.wav"), path("kick.flac"))));
    project->settings.outputFormat = PcmFormat(2, 44100, 16);
    project->settings.loadingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);

    // The chart names kick.wav, which was shipped as kick.flac: the samples
    // prepared from it equal those prepared from the WAVE file it was made of.
    SetName(project->sounds[1].fileName, u"\\kick.wav");
    SetName(project->sounds[2].fileName, u"\\original.wav");
    SoundFailure failure;
    ASSERT_TRUE(PrepareSound(*project, document, 1, &failure)) << DescribeSoundFailure(failure);
    EXPECT_EQ(failure.path, path("kick.flac"));
    ASSERT_TRUE(PrepareSound(*project, document, 2));
    const SoundSlot& fromFlac = project->sounds[1];
    const SoundSlot& fromWave = project->sounds[2];
    EXPECT_TRUE(SameFormatKey(fromFlac.dataFormat, project->settings.outputFormat));
    ASSERT_EQ(fromFlac.sampleBytes, fromWave.sampleBytes);
    EXPECT_EQ(test::Samples16(fromFlac), test::Samples16(fromWave));
    EXPECT_TRUE(test::GuardZonesZero(fromFlac));

    // A substitute that cannot be decoded fails under its own path.
    touch("snare.ogg", "OggS but no pages");
    SetName(project->sounds[3].fileName, u"\\snare.wav");
    EXPECT_FALSE(PrepareSound(*project, document, 3, &failure));
    EXPECT_EQ(failure.kind, SoundFailureKind::kUnreadable);
    EXPECT_EQ(failure.read.code, platform::ReadErrorCode::kUndecodable);
    EXPECT_EQ(failure.path, path("snare.ogg"));
}

TEST_F(SoundFallback, ReportNamesTheFileUsedAndItsKind)
{
    touch("kick.ogg", kOggVorbisHead);
    writeWave("snare.wav", 1, 44100, { 1, 2 });
    touch("odd.wav", "neither RIFF nor anything else");
    std::filesystem::create_directories(path("folder.wav"));
    SetName(project->sounds[0].fileName, u"\\kick.wav");
    SetName(project->sounds[3].fileName, u"\\snare.wav");
    SetName(project->sounds[4].fileName, u"\\gone.wav");
    SetName(project->sounds[7].fileName, u"\\odd.wav");
    SetName(project->sounds[8].fileName, u"\\folder.wav");
    SetName(project->sounds[9].fileName, u"\\" + std::u16string(300, u'n'));

    const auto reports = DescribeSoundFiles(*project, document);
    struct Expected {
        std::uint32_t id;
        std::string path;
        bool found;
        bool substituted;
        audio::SoundFileFormat format;
    };
    using audio::SoundFileFormat;
    const Expected expected[] = {
        { 0, path("kick.ogg"), true, true, SoundFileFormat::kOggVorbis },
        { 3, path("snare.wav"), true, false, SoundFileFormat::kWave },
        { 4, path("gone.wav"), false, false, SoundFileFormat::kUnknown },
        { 7, path("odd.wav"), true, false, SoundFileFormat::kUnknown },
        { 8, path("folder.wav"), false, false, SoundFileFormat::kUnknown },
    };
    ASSERT_EQ(reports.size(), std::size(expected) + 1);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.path);
        EXPECT_EQ(reports[i].soundId, e.id);
        EXPECT_EQ(reports[i].path, e.path);
        EXPECT_EQ(reports[i].found, e.found);
        EXPECT_EQ(reports[i].substituted, e.substituted);
        EXPECT_EQ(reports[i].format, e.format);
        EXPECT_FALSE(reports[i].pathTooLong);
    }
    EXPECT_EQ(reports[0].storedName, "\\kick.wav");
    EXPECT_EQ(reports.back().soundId, 9u);
    EXPECT_TRUE(reports.back().pathTooLong);
    EXPECT_FALSE(reports.back().found);
    // Reporting reads no samples into the project.
    EXPECT_EQ(project->sounds[3].samples, nullptr);
}
