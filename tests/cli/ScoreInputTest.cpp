// SPDX-License-Identifier: MIT
// MIDI files and charts as inputs of info and convert, with the import
// options and a sound list.

#include "cli/CliFixture.h"
#include "model/ProjectFile.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

using namespace vellisto;

namespace {

using ScoreInputTest = test::CliFixture;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// One track: Program Change 7, then middle C at tick 0 and D at tick 480
// (480 ticks per quarter note, the default tempo), each 240 ticks long.
const std::vector<std::uint8_t> kSong { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M',
    'T', 'r', 'k', 0, 0, 0, 20, 0x00, 0xC0, 7, 0x00, 0x90, 60, 100, 0x81, 0x70, 0x80, 60, 0, 0x81,
    0x70, 0x90, 62, 100, 0x00, 0xFF, 0x2F };

std::string ChartText()
{
    return "#WAV01 kick.wav\r\n#WAV02 snare.wav\r\n#00111:0102\r\n#00101:02\r\n";
}

} // namespace

TEST_F(ScoreInputTest, InfoShowsAnImportedMidiFileInTheChosenFormat)
{
    writeBytes("song.mid", kSong);
    const auto result = run({ "info", path("song.mid"), "--rate", "22050", "--channels", "1" });
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "samplesPerSecond 22050\n"));
    EXPECT_TRUE(Contains(result.out, "channels 1\n"));
    EXPECT_TRUE(Contains(result.out, "blockAlign 2\n"));
    // Play, Stop, Play: the last at half a second.
    EXPECT_TRUE(Contains(result.out, "  track 0: 3 events, length 11025 (00:00.500)\n"))
        << result.out;
}

TEST_F(ScoreInputTest, ConvertWritesTheImportAsAProjectFile)
{
    writeBytes("song.mid", kSong);
    auto result = run({ "convert", path("song.mid"), "-o", path("song.spj"), "--compat", "v1.2" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto project = CreateProject();
    ASSERT_TRUE(ReadProjectFile(path("song.spj"), *project));
    EXPECT_EQ(project->settings.playingPriority, 0u);
    EXPECT_EQ(project->settings.stoppingRules, 0u);
    ASSERT_EQ(project->tracks[0].count, 3u);
    const Event& stop = project->tracks[0].events[1];
    EXPECT_EQ(stop.time, 11025u);
    EXPECT_EQ(stop.type, EventTypeWord(EventType::kStop));
    EXPECT_EQ(stop.data1, 7u); // the program
    EXPECT_EQ(stop.data2, 0u); // "By ID"

    std::ofstream(path("chart.BME"), std::ios::binary) << ChartText();
    result = run({ "convert", path("chart.BME"), "-o", path("chart.spj"), "--rate", "48000" });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    project = CreateProject();
    ASSERT_TRUE(ReadProjectFile(path("chart.spj"), *project));
    EXPECT_EQ(project->settings.outputFormat.samplesPerSecond, 48000u);
    EXPECT_EQ(project->settings.masterVolume, 724u); // two tracks: 1024 / sqrt(2)
    ASSERT_EQ(project->tracks[1].count, 3u);
    EXPECT_EQ(project->tracks[1].events[1].time, 96000u + 48000u);
    EXPECT_EQ(project->sounds[2].fileName[1], u's');
}

TEST_F(ScoreInputTest, SoundListReplacesTheSoundsWithRescaledTimes)
{
    auto kit = CreateProject();
    kit->settings.outputFormat.samplesPerSecond = 22050;
    CompleteOutputFormat(kit->settings.outputFormat);
    kit->sounds[2].fileName[0] = u'k';
    kit->sounds[2].volume = 300;
    kit->sounds[2].loopBegin = 1000;
    kit->sounds[2].loopEnd = kNoLoop;
    ASSERT_EQ(WriteProjectFile(*kit, path("kit.spj")), ProjectWriteResult::kOk);
    std::ofstream(path("chart.bms"), std::ios::binary) << ChartText();

    const auto result = run(
        { "convert", path("chart.bms"), "-o", path("out.spj"), "--sound-list", path("kit.spj") });
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.err, "warning")) << result.err;
    auto project = CreateProject();
    ASSERT_TRUE(ReadProjectFile(path("out.spj"), *project));
    EXPECT_EQ(project->sounds[2].volume, 300u);
    EXPECT_EQ(project->sounds[2].loopBegin, 2000u);
    EXPECT_EQ(project->sounds[2].loopEnd, kNoLoop);
    EXPECT_TRUE(project->sounds[1].empty()); // every slot comes from the kit
    EXPECT_EQ(project->tracks[1].count, 3u); // the events stay
}

TEST_F(ScoreInputTest, FailuresAndBadOptions)
{
    writeBytes("bad.mid", { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 0 });
    auto result = run({ "info", path("bad.mid") });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(Contains(result.err, "Failed in loading a MIDI file.")) << result.err;
    EXPECT_TRUE(Contains(result.err, "division of 0")) << result.err;

    writeBytes("song.mid", kSong);
    result = run(
        { "convert", path("song.mid"), "-o", path("x.spj"), "--sound-list", path("absent.spj") });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(path("x.spj")));

    // An empty chart is a chart without notes.
    writeBytes("empty.bms", {});
    EXPECT_EQ(run({ "info", path("empty.bms") }).exitCode, 0);

    for (const std::vector<std::string>& args :
        { std::vector<std::string> { "info", path("song.mid"), "--compat", "loud" },
            { "info", path("song.mid"), "--rate", "0" },
            { "info", path("song.mid"), "--channels", "3" },
            { "info", path("song.spj"), "--rate", "22050" } }) {
        result = run(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_TRUE(Contains(result.err, "usage:")) << result.err;
    }
}

TEST_F(ScoreInputTest, BmsRulesAndSeedChooseHowAChartIsRead)
{
    // A base-36 sound ID: only the standard rules know 0Z.
    std::ofstream(path("b36.bms"), std::ios::binary) << "#WAV0Z kick.wav\r\n#00111:0Z\r\n";
    const auto design = run({ "info", path("b36.bms") });
    ASSERT_EQ(design.exitCode, 0) << design.err;
    EXPECT_TRUE(Contains(design.out, "\ntracks 0\n")) << design.out;
    for (const std::string rules : { "standard", "design" }) {
        const auto r = run({ "info", path("b36.bms"), "--bms-rules", rules });
        ASSERT_EQ(r.exitCode, 0) << r.err;
        if (rules == "design") {
            EXPECT_EQ(r.out, design.out);
            continue;
        }
        // ID 0Z is 35 in base 36.
        EXPECT_TRUE(Contains(r.out, "  sound 35 \"\\kick.wav\"")) << r.out;
        EXPECT_TRUE(Contains(r.out, "\ntracks 1\n")) << r.out;
    }

    // A sound ID beyond the table is skipped with a warning on standard error,
    // which a mix's JSON report repeats.
    std::ofstream(path("big.bms"), std::ios::binary) << "#WAVZZ big.wav\r\n#00111:ZZ\r\n";
    auto result = run({ "info", path("big.bms"), "--bms-rules", "standard" });
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.starts_with("vellisto-cli: warning: " + path("big.bms") + ": "))
        << result.err;
    result = run(
        { "mix", path("big.bms"), "--bms-rules", "standard", "--json", "-o", path("big.wav") });
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out,
        "\"messages\": [\n    \"vellisto-cli: warning: " + path("big.bms")
            + ": byte 0: sound ZZ is beyond"))
        << result.out;

    // #RANDOM: each seed always picks the same branch, and some two seeds pick
    // different ones (channel 11 and channel 12 play on different tracks).
    std::ofstream(path("random.bms"), std::ios::binary)
        << "#WAV01 a.wav\r\n#RANDOM 2\r\n#IF 1\r\n#00111:01\r\n#ENDIF\r\n#IF 2\r\n"
           "#00112:01\r\n#ENDIF\r\n#ENDRANDOM\r\n";
    std::set<std::string> reports;
    for (int seed = 0; seed < 8; ++seed) {
        const std::vector<std::string> args { "info", path("random.bms"), "--bms-rules", "standard",
            "--seed", std::to_string(seed) };
        const auto first = run(args);
        ASSERT_EQ(first.exitCode, 0) << first.err;
        EXPECT_EQ(run(args).out, first.out) << seed;
        EXPECT_TRUE(Contains(first.out, "\ntracks 1\n")) << first.out;
        reports.insert(first.out);
    }
    EXPECT_EQ(reports.size(), 2u);

    for (const std::vector<std::string>& args :
        { std::vector<std::string> { "info", path("b36.bms"), "--bms-rules", "loose" },
            { "info", path("b36.bms"), "--seed", "-1" },
            { "info", path("b36.bms"), "--seed", "18446744073709551616" },
            { "mix", path("b36.bms"), "--seed", "x" } }) {
        result = run(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_TRUE(Contains(result.err, "usage:")) << result.err;
    }
}

TEST_F(ScoreInputTest, InfoNamesTheSoundFileFoundAndItsFormat)
{
    // kick.wav ships as Ogg Vorbis, snare.wav as FLAC (and a WAVE hi-hat); gone.wav is nowhere.
    const std::string make = "cd " + test::Quote(m_dir)
        + " && sox -q -n -r 22050 -c 1 kick.ogg synth 0.1 sine 440"
          " && sox -q -n -r 22050 -c 1 -b 16 snare.flac synth 0.1 sine 330"
          " && sox -q -n -r 22050 -c 1 -b 16 hat.wav synth 0.1 sine 220";
    ASSERT_EQ(std::system(make.c_str()), 0);
    std::ofstream(path("chart.bms"), std::ios::binary)
        << "#WAV01 kick.wav\r\n#WAV02 snare.wav\r\n#WAV03 gone.wav\r\n#WAV04 hat.wav\r\n"
           "#00111:01020304\r\n";

    const auto text = run({ "info", path("chart.bms") });
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::string file = "\n    file ";
    EXPECT_TRUE(Contains(text.out, file + path("kick.ogg") + " (Ogg Vorbis)\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, file + path("snare.flac") + " (FLAC)\n")) << text.out;
    EXPECT_TRUE(Contains(text.out, file + path("hat.wav") + " (WAVE)\n")) << text.out;
    // The missing sound is named once, by its own name, and no other name is tried.
    const std::string missing = "\n    missing: " + path("gone.wav") + "\n";
    ASSERT_TRUE(Contains(text.out, missing)) << text.out;
    // Its stored name on the sound's line, its path on the next: nothing else.
    std::size_t mentions = 0;
    for (auto at = text.out.find("gone"); at != std::string::npos;
         at = text.out.find("gone", at + 1))
        ++mentions;
    EXPECT_EQ(mentions, 2u) << text.out;
    EXPECT_FALSE(Contains(text.out, "gone.ogg")) << text.out;

    const auto json = run({ "info", path("chart.bms"), "--json" });
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_TRUE(Contains(json.out,
        "\"file\": \"" + path("kick.ogg")
            + "\",\n      \"found\": true,\n      \"format\": \"Ogg Vorbis\""))
        << json.out;
    EXPECT_TRUE(Contains(json.out,
        "\"file\": \"" + path("gone.wav") + "\",\n      \"found\": false,\n      \"format\": \"\""))
        << json.out;
}
