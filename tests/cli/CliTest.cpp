// SPDX-License-Identifier: MIT
// Runs the built vellisto-cli and checks its output, files and exit status.

#include "cli/CliFixture.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace vellisto;
namespace fs = std::filesystem;

namespace {

using CliTest = test::CliFixture;
using test::CliResult;
using test::ReadText;

void SetName(Name& name, const std::u16string& text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

// Two sounds, one track of three events ending at two seconds.
std::unique_ptr<Project> SampleProject()
{
    auto p = CreateProject();
    SetName(p->sounds[0].fileName, u"\\kick.wav");
    p->sounds[0].setWords({ 1024, 1u << 24, kNoLoop, kNoLoop, 0, 0, 0, 0, 0, 0, 0, 0 });
    SetName(p->sounds[12].fileName, u"a\"b\\c\u0001\u97F3");
    p->sounds[12].setWords({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12 });
    EXPECT_TRUE(ResetEvents(p->tracks[3], 3));
    p->tracks[3].events[0] = { 1, 0, 0, 0, 1024, 1u << 24 };
    p->tracks[3].events[1] = { 1, 44100, 1, 0, 0, 0 };
    p->tracks[3].events[2] = { 1, 88200, 2, 0, 0, 0 };
    return p;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(CliTest, UsageErrorsExitWithTwo)
{
    for (const std::vector<std::string>& args :
        std::vector<std::vector<std::string>> { {}, { "frobnicate" }, { "info" },
            { "info", "a.spj", "b.spj" }, { "info", "--bogus", "a.spj" }, { "convert", "a.spj" },
            { "convert", "a.spj", "-o" }, { "convert", "-o", "x", "-o", "y", "a" } }) {
        const CliResult r = run(args);
        EXPECT_EQ(r.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_TRUE(Contains(r.err, "usage: ")) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(CliTest, InfoPrintsSettingsSoundsAndTracks)
{
    ASSERT_EQ(WriteProjectFile(*SampleProject(), path("song.spj")), ProjectWriteResult::kOk);
    const CliResult r = run({ "info", path("song.spj") });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_TRUE(Contains(r.out, "  bufferLength 4096\n"));
    EXPECT_TRUE(Contains(r.out, "  samplesPerSecond 44100\n"));
    EXPECT_TRUE(Contains(r.out, "sounds 2\n"));
    EXPECT_TRUE(Contains(r.out,
        "  sound 0 \"\\kick.wav\": volume 1024, pitch 16777216, loopBegin 4294967295, "
        "loopEnd 4294967295, stopEventMode 0, linkedId 0, linkingMode 0, attackTime 0, "
        "sustainTime 0, releaseTime 0, reserved1 0, reserved2 0\n"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "  sound 12 \"a\"b\\c\\x01\xE9\x9F\xB3\": volume 1,")) << r.out;
    EXPECT_TRUE(Contains(r.out, "tracks 1\n  track 3: 3 events, length 88200 (00:02.000)\n"))
        << r.out;
}

TEST_F(CliTest, InfoJsonEscapesNames)
{
    ASSERT_EQ(WriteProjectFile(*SampleProject(), path("song.spj")), ProjectWriteResult::kOk);
    const CliResult r = run({ "info", "--json", path("song.spj") });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.front(), '{');
    EXPECT_TRUE(Contains(r.out, "\"fileName\": \"\\\\kick.wav\""));
    EXPECT_TRUE(Contains(r.out, "\"fileName\": \"a\\\"b\\\\c\\u0001\xE9\x9F\xB3\"")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\"reserved2\": 12"));
    EXPECT_TRUE(Contains(r.out, "\"track\": 3,\n      \"events\": 3,\n      \"length\": 88200"))
        << r.out;
    EXPECT_TRUE(Contains(r.out, "\"masterBalance\": 512,"));
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
}

TEST_F(CliTest, UnreadableInputsGiveOneLine)
{
    writeBytes("empty.spj", {});
    fs::create_directory(path("folder.spj"));
    struct Case {
        std::string file;
        std::string problem;
    };
    for (const Case& c : { Case { "none.spj", "no such file" },
             Case { "empty.spj", "is an empty file" }, Case { "folder.spj", "is a directory" } }) {
        const CliResult r = run({ "info", path(c.file) });
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "vellisto-cli: " + path(c.file) + ": " + c.problem + "\n");
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(CliTest, DamagedProjectGivesSystemMessageAndReason)
{
    auto bytes = SerializeProjectFile(*SampleProject());
    bytes.resize(bytes.size() - 1); // the end chunk is cut
    writeBytes("cut.spj", bytes);
    const CliResult r = run({ "info", path("cut.spj") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.starts_with("Failed in loading a project file. " + path("cut.spj") + ": "))
        << r.err;
    EXPECT_TRUE(Contains(r.err, "at byte ")) << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(CliTest, ConvertUpgradesAnOldLayout)
{
    // A version 0x10000 file: settings layout 308 and one sound with an 8-bit name.
    std::vector<std::uint8_t> bytes { 'S', 'P', 'R', 'J' };
    const auto u32 = [&bytes](std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    u32(1);
    u32(0x10000);
    u32(3);
    for (std::uint32_t w : { 2048u, 2u, 8u, 1u, 0u, 1024u, 512u })
        u32(w);
    for (std::uint8_t b : { 1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0, 0, 0 })
        bytes.push_back(b); // mono 22050 Hz 16 bits
    bytes.insert(bytes.end(), 260 + 2, 0);
    u32(4);
    u32(7);
    const std::string name = "\\hat.wav";
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), 260 - name.size(), 0);
    for (std::uint32_t w : { 512u, 1u << 24, 100u, 200u })
        u32(w);
    u32(2);
    writeBytes("old.spj", bytes);

    const CliResult r = run({ "convert", path("old.spj"), "-o", path("new.spj") });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string written = ReadText(path("new.spj"));
    ASSERT_GE(written.size(), 12u);
    EXPECT_EQ(written.substr(0, 12), std::string("SPRU\x01\0\0\0\x02\0\x02\0", 12));

    auto project = CreateProject();
    ASSERT_TRUE(ReadProjectFile(path("new.spj"), *project));
    EXPECT_EQ(project->settings.bufferLength, 2048u);
    EXPECT_EQ(project->settings.loadingInterpolation, 1u);
    EXPECT_EQ(project->settings.stoppingRules, 0u);
    EXPECT_EQ(project->settings.outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(project->sounds[7].fileName[0], u'\\');
    EXPECT_EQ(project->sounds[7].words(), (SoundWords { 512, 1u << 24, 100, 200 }));
}

TEST_F(CliTest, ConvertClearsNameTailsAndReportsSaveFailures)
{
    auto p = SampleProject();
    p->sounds[0].fileName[100] = u'z';
    ASSERT_EQ(WriteProjectFile(*p, path("in.spj")), ProjectWriteResult::kOk);
    ASSERT_EQ(run({ "convert", path("in.spj"), "-o", path("out.spj") }).exitCode, 0);
    auto read = CreateProject();
    ASSERT_TRUE(ReadProjectFile(path("out.spj"), *read));
    EXPECT_EQ(read->sounds[0].fileName[100], 0);
    EXPECT_EQ(read->tracks[3].count, 3u);

    const CliResult r = run({ "convert", path("in.spj"), "-o", path("missing/out.spj") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.starts_with("Failed in saving. ")) << r.err;
}
