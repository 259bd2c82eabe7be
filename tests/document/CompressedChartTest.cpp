// SPDX-License-Identifier: MIT
// A chart as charts are shared: its #WAV lines name ".wav" files, but the
// sounds were shipped as Ogg Vorbis and FLAC files of the same stem (in
// another letter case, too). Opened and mixed through the same calls the
// front ends use, it renders with sound, and the FLAC sound renders exactly
// as the WAVE file it was made from.

#include "audio/CompressedTools.h"
#include "audio/SincTables.h"
#include "document/InputOpener.h"
#include "document/MixCommand.h"
#include "mix/MixTestUtil.h"
#include "platform/File.h"
#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::testing::ScriptedUserInterface;

namespace {

class CompressedChart : public test::MixFolder {
protected:
    void SetUp() override
    {
        MixFolder::SetUp();
        if (!test::HaveEncoders())
            GTEST_SKIP() << "the encoders are not installed (scripts/install-deps)";
        audio::BuildSincTables();
        std::filesystem::create_directories(path("originals"));
        test::WriteWave16(path("originals/kick.wav"), 1, 44100, test::ToneSamples(1, 44100, 11025));
        test::WriteWave16(path("originals/snare.wav"), 2, 22050, test::ToneSamples(2, 22050, 8000));
        ASSERT_TRUE(
            test::RunQuietly(test::EncodeCommand(path("originals/kick.wav"), path("kick.ogg"))));
        ASSERT_TRUE(
            test::RunQuietly(test::EncodeCommand(path("originals/snare.wav"), path("SNARE.flac"))));
    }

    std::string writeChart(const std::string& name, const std::string& text) const
    {
        test::WriteBytes(path(name), { text.begin(), text.end() });
        return path(name);
    }

    // Opens a chart as the front ends do and mixes it into out; its samples.
    std::vector<int> render(const std::string& chart, const ImportOptions& options = {})
    {
        OpenedInput opened = OpenInputFile(chart, DefaultCompatibilityChoice(), options);
        EXPECT_TRUE(opened.project) << opened.reason;
        if (!opened.project)
            return {};
        ScriptedUserInterface ui;
        const std::string out = path("out.wav");
        ui.fileAnswers.push_back(out);
        EXPECT_TRUE(MixProject(*opened.project, chart, ui, ui, ui));
        for (const auto& message : ui.messages)
            EXPECT_EQ(message.caption, TextId::kInformation) << message.text; // no sound failed
        const auto bytes = platform::ReadWholeFile(out);
        std::vector<int> samples;
        for (std::size_t i = 44; bytes && i + 1 < bytes->size(); i += 2)
            samples.push_back(static_cast<std::int16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
        return samples;
    }
};

// The RMS of the stereo frames [begin, end).
double WindowRms(const std::vector<int>& samples, std::size_t begin, std::size_t end)
{
    return test::Rms({ samples.begin() + static_cast<std::ptrdiff_t>(2 * begin),
        samples.begin() + static_cast<std::ptrdiff_t>(std::min(2 * end, samples.size())) });
}

} // namespace

TEST_F(CompressedChart, WaveNamesFindTheCompressedSoundsAndRenderWithSound)
{
    // Kick at 0, snare at half a measure (44100 frames at 120 beats per minute).
    const std::string chart = writeChart("song.bms",
        "#BPM 120\r\n#WAV01 kick.wav\r\n#WAV02 Snare.WAV\r\n#00011:01\r\n#00012:0002\r\n");
    for (const auto rules : { import::BmsRules::kDesign, import::BmsRules::kStandard }) {
        SCOPED_TRACE(rules == import::BmsRules::kDesign ? "own rules" : "standard rules");
        const std::vector<int> samples = render(chart, { { rules, 0 } });
        ASSERT_GT(samples.size(), 2u * 88200);
        EXPECT_GT(WindowRms(samples, 0, 11025), 2000.0); // the kick, from kick.ogg
        EXPECT_LT(WindowRms(samples, 12000, 44100), 1.0); // silence between
        EXPECT_GT(WindowRms(samples, 44100, 60000), 2000.0); // the snare, from SNARE.flac
    }
}

TEST_F(CompressedChart, LosslessSoundRendersExactlyAsItsWaveSource)
{
    const std::vector<int> fromFlac
        = render(writeChart("flac.bms", "#BPM 120\r\n#WAV02 snare.wav\r\n#00012:0202\r\n"));
    const std::vector<int> fromWave = render(
        writeChart("wave.bms", "#BPM 120\r\n#WAV02 originals\\snare.wav\r\n#00012:0202\r\n"));
    ASSERT_FALSE(fromFlac.empty());
    EXPECT_GT(test::Rms(fromFlac), 1000.0);
    EXPECT_EQ(fromFlac, fromWave);
}

TEST(InputOpener, StandardRulesReportWhatTheySkipped)
{
    const auto folder = std::filesystem::path(VEL_TEST_BUILD_DIR) / "opener";
    std::filesystem::create_directories(folder);
    const auto chart = (folder / "ids.bms").string();
    const std::string text = "#WAVZZ a.wav\r\n#WAV01 b.wav\r\n#00011:01ZZ\r\n";
    test::WriteBytes(chart, { text.begin(), text.end() });

    const OpenedInput design = OpenInputFile(chart, DefaultCompatibilityChoice());
    ASSERT_TRUE(design.project);
    EXPECT_TRUE(design.warnings.empty());

    const OpenedInput standard = OpenInputFile(
        chart, DefaultCompatibilityChoice(), { { import::BmsRules::kStandard, 0 } });
    ASSERT_TRUE(standard.project);
    EXPECT_EQ(standard.warnings,
        std::vector<std::string> { "byte 0: sound ZZ is beyond the 1024-sound table; skipped" });
    EXPECT_EQ(standard.project->tracks[1].count, 2u); // the note of 01 and the All Stop
}

TEST_F(CompressedChart, MixNeverWritesOverTheSubstitutedSoundFile)
{
    const std::string chart
        = writeChart("song.bms", "#BPM 120\r\n#WAV01 kick.wav\r\n#00011:01\r\n");
    OpenedInput opened = OpenInputFile(chart, DefaultCompatibilityChoice());
    ASSERT_TRUE(opened.project);
    const auto before = platform::ReadWholeFile(path("kick.ogg"));
    ScriptedUserInterface ui;
    ui.fileAnswers.push_back(path("kick.ogg")); // the file sound 01 is read from
    EXPECT_FALSE(MixProject(*opened.project, chart, ui, ui, ui));
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Failed in mixing.");
    EXPECT_NE(
        ui.messages.back().detail.find("the output is the file of sound 1"), std::string::npos)
        << ui.messages.back().detail;
    EXPECT_EQ(platform::ReadWholeFile(path("kick.ogg")), before);
}
