// SPDX-License-Identifier: MIT
// Every command answers bad input (missing, folder, empty or wrong-kind
// files, outputs that cannot be written, bad option values) with exactly one
// line on standard error, nothing on standard output and exit status 1 for a
// failure or 2 for a usage error, and never touches an existing output file.

#include "audio/AudioTestUtil.h"
#include "cli/CliFixture.h"
#include "model/ProjectFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace vellisto;
namespace fs = std::filesystem;
using test::CliResult;
using test::ReadText;

namespace {

using Args = std::vector<std::string>;

class BadInput : public test::CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        ASSERT_EQ(WriteProjectFile(*CreateProject(), path("good.spj")), ProjectWriteResult::kOk);
        writeBytes("good.wav", test::WaveBytes {}.pcm16(1, 44100, { 1, 2, 3, 4 }).file());
        writeBytes("empty.spj", {});
        writeBytes("garbage.spj", { 'n', 'o', 't', ' ', 'a', 'n', 'y' });
        fs::create_directory(path("folder"));
        std::ofstream(path("keep.spj")) << "keep";
        std::ofstream(path("keep.wav")) << "keep";
    }

    // Runs args and checks the one-line answer, its start and the exit status.
    void expectAnswer(const Args& args, int exitCode, const std::string& start) const
    {
        std::string shown;
        for (const std::string& arg : args)
            shown += arg + " ";
        const CliResult r = run(args);
        EXPECT_EQ(r.exitCode, exitCode) << shown << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << shown;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << "\n" << r.err;
        EXPECT_TRUE(r.err.ends_with("\n")) << shown;
        EXPECT_TRUE(r.err.starts_with(start)) << shown << "\n" << r.err;
        EXPECT_EQ(ReadText(path("keep.spj")), "keep") << shown;
        EXPECT_EQ(ReadText(path("keep.wav")), "keep") << shown;
    }

    // The commands, each with an existing file as its output where it writes one.
    std::vector<Args> commandsOn(const std::string& input) const
    {
        return { { "info", input }, { "convert", input, "-o", path("keep.spj") },
            { "mix", input, "-o", path("keep.wav") }, { "resample", input, "-o", path("keep.wav") },
            { "basefreq", input } };
    }
};

bool ReadsProjects(const Args& command)
{
    return command[0] == "info" || command[0] == "convert" || command[0] == "mix";
}

} // namespace

TEST_F(BadInput, UnusableInputPathsAreNamed)
{
    struct Case {
        std::string file;
        std::string problem;
    };
    for (const Case& c : { Case { "none.spj", "no such file" }, Case { "folder", "is a directory" },
             Case { "empty.spj", "is an empty file" } }) {
        for (const Args& command : commandsOn(path(c.file)))
            expectAnswer(command, 1, "vellisto-cli: " + path(c.file) + ": " + c.problem + "\n");
    }
    // A pipe would block a reader that waited for its data.
    ASSERT_EQ(::mkfifo(path("pipe.spj").c_str(), 0600), 0);
    for (const Args& command : commandsOn(path("pipe.spj")))
        expectAnswer(command, 1, "vellisto-cli: " + path("pipe.spj") + ": is not a regular file\n");
}

TEST_F(BadInput, WrongKindsGiveTheSystemMessageAndTheReason)
{
    for (const std::string file : { "good.wav", "good.spj", "garbage.spj" }) {
        for (const Args& command : commandsOn(path(file))) {
            const bool project = ReadsProjects(command);
            if (project == (file == "good.spj"))
                continue; // the right kind
            expectAnswer(command, 1,
                (project ? "Failed in loading a project file. " : "Failed in loading a WAVE file. ")
                    + path(file) + ": ");
        }
    }
    // A WAVE file that reads but cannot be converted to the output format.
    writeBytes("three.wav", test::WaveBytes {}.pcm16(3, 44100, { 1, 2, 3 }).file());
    expectAnswer({ "resample", path("three.wav"), "-o", path("keep.wav") }, 1,
        "Failed in loading a WAVE file. " + path("three.wav") + ": its format cannot be converted");
}

TEST_F(BadInput, EveryReaderGivesItsReasonInOneForm)
{
    // The system's message, the path, then the reader's reason with the byte
    // offset where it found the fault, when the fault has a place.
    const std::vector<std::uint8_t> notRiff { 'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E' };
    writeBytes("not-riff.wav", notRiff);
    writeBytes("no-format.wav",
        { 'R', 'I', 'F', 'F', 16, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 2,
            3, 4 });
    writeBytes("long-header.mid", { 'M', 'T', 'h', 'd', 0, 0, 0, 7, 0, 0, 0, 0, 1, 0xE0, 0 });
    // The magic, a version chunk, then chunk type 6.
    writeBytes("unknown-chunk.spj",
        { 'S', 'P', 'R', 'U', 1, 0, 0, 0, 2, 0, 2, 0, 6, 0, 0, 0, 2, 0, 0, 0 });
    struct Case {
        Args args;
        std::string expected;
    };
    const std::string wave = "Failed in loading a WAVE file. ";
    const std::vector<Case> cases {
        { { "resample", path("not-riff.wav"), "-o", path("keep.wav") },
            wave + path("not-riff.wav") + ": not a RIFF file at byte 0\n" },
        { { "basefreq", path("not-riff.wav") },
            wave + path("not-riff.wav") + ": not a RIFF file at byte 0\n" },
        { { "basefreq", path("no-format.wav") },
            wave + path("no-format.wav") + ": samples without a \"fmt \" chunk\n" },
        { { "info", path("long-header.mid") },
            "Failed in loading a MIDI file. " + path("long-header.mid")
                + ": MIDI header length is not 6 at byte 4\n" },
        { { "info", path("unknown-chunk.spj") },
            "Failed in loading a project file. " + path("unknown-chunk.spj")
                + ": unknown project chunk type at byte 12\n" },
        { { "mix", path("garbage.spj"), "-o", path("keep.wav") },
            "Failed in loading a project file. " + path("garbage.spj")
                + ": not a project file (no SPRU or SPRJ signature) at byte 0\n" },
    };
    for (const Case& c : cases) {
        const CliResult r = run(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[0];
        EXPECT_EQ(r.err, c.expected);
        EXPECT_TRUE(r.out.empty()) << c.args[0];
    }
    EXPECT_EQ(ReadText(path("keep.wav")), "keep");
}

TEST_F(BadInput, ScoresAndSoundListsThatCannotBeRead)
{
    writeBytes("empty.mid", {});
    writeBytes("garbage.mid", { 'n', 'o', 't', ' ', 'a', 'n', 'y' });
    fs::copy_file(path("good.wav"), path("wave.mid"));
    fs::create_directory(path("folder.bms"));
    for (const std::string file : { "empty.mid", "garbage.mid", "wave.mid" }) {
        for (const Args& command :
            { Args { "info", path(file) }, Args { "convert", path(file), "-o", path("keep.spj") } })
            expectAnswer(command, 1, "Failed in loading a MIDI file. " + path(file) + ": ");
    }
    expectAnswer({ "info", path("folder.bms") }, 1,
        "vellisto-cli: " + path("folder.bms") + ": is a directory\n");

    // A chart of any bytes imports; the sound and track lists given with an
    // input must be project files.
    writeBytes("chart.bms", { '#', 'W', 'A', 'V', '0', '1', ' ', 'a', '.', 'w', 'a', 'v' });
    const std::vector<std::pair<std::string, std::string>> lists {
        { path("none.spj"), "vellisto-cli: " + path("none.spj") + ": no such file\n" },
        { path("folder"), "vellisto-cli: " + path("folder") + ": is a directory\n" },
        { path("empty.spj"), "vellisto-cli: " + path("empty.spj") + ": is an empty file\n" },
        // The list imports' own message, as the desktop shows it.
        { path("good.wav"), "Failed in loading. " + path("good.wav") + ": " },
    };
    for (const auto& [list, start] : lists) {
        expectAnswer({ "convert", path("chart.bms"), "-o", path("keep.spj"), "--sound-list", list },
            1, start);
        expectAnswer(
            { "mix", path("chart.bms"), "-o", path("keep.wav"), "--sound-list", list }, 1, start);
        expectAnswer(
            { "mix", path("good.spj"), "-o", path("keep.wav"), "--track-list", list }, 1, start);
    }
}

TEST_F(BadInput, UnwritableOutputsFailWithoutDamage)
{
    ASSERT_EQ(::mkfifo(path("pipe.out").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> outputs {
        { path("missing/out"), "Failed in saving. " + path("missing/out") + ": " },
        { path("good.spj/out"), "Failed in saving. " + path("good.spj/out") + ": " },
        { path("folder"), "vellisto-cli: " + path("folder") + ": is a directory\n" },
        { path("pipe.out"), "vellisto-cli: " + path("pipe.out") + ": is not a regular file\n" },
    };
    for (const auto& [out, start] : outputs) {
        expectAnswer({ "convert", path("good.spj"), "-o", out }, 1, start);
        expectAnswer({ "resample", path("good.wav"), "-o", out }, 1, start);
        const std::string saving = "Failed in saving. ";
        expectAnswer({ "mix", path("good.spj"), "-o", out }, 1,
            start.starts_with(saving) ? "Failed in mixing. " + start.substr(saving.size()) : start);
    }
    EXPECT_TRUE(fs::is_directory(path("folder")));
    EXPECT_TRUE(fs::is_fifo(path("pipe.out")));
    EXPECT_FALSE(fs::exists(path("missing")));
    // Nothing but the files made above is left behind: no temporary files.
    EXPECT_EQ(std::distance(fs::directory_iterator(path("folder")), fs::directory_iterator {}), 0);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
        (std::vector<std::string> { ".err", ".out", "empty.spj", "folder", "garbage.spj",
            "good.spj", "good.wav", "keep.spj", "keep.wav", "pipe.out" }));
}

TEST_F(BadInput, BadOptionValuesAreUsageErrors)
{
    const std::string spj = path("good.spj");
    const std::string wav = path("good.wav");
    const std::string out = path("keep.wav");
    const std::string mid = path("song.mid");
    const std::vector<Args> cases {
        { "info", spj, "--jsn" },
        { "info", spj, "--rate", "22050" },
        { "info", mid, "--compat", "" },
        { "info", mid, "--compat", "Normal" },
        { "info", mid, "--channels", "-2" },
        { "convert", mid, "-o", path("keep.spj"), "--sound-list", "" },
        { "info", spj, "--json", "--json" },
        { "convert", spj, "-o", "" },
        { "convert", spj },
        { "resample", wav, "-o", out, "--rate", "0" },
        { "resample", wav, "-o", out, "--rate", "-1" },
        { "resample", wav, "-o", out, "--rate", "4294967296" },
        { "resample", wav, "-o", out, "--rate", "" },
        { "resample", wav, "-o", out, "--rate", " 44100" },
        { "resample", wav, "-o", out, "--channels", "0" },
        { "resample", wav, "-o", out, "--channels", "two" },
        { "resample", wav, "-o", out, "--interp", "" },
        { "resample", wav, "-o", out, "--interp", "SINC" },
        { "resample", wav, "-o", out, "--rate" },
        { "basefreq", wav, "--rate", "16777216" },
        { "basefreq", wav, "--loop", "-1", "5" },
        { "basefreq", wav, "--loop", "1", "99999999999" },
        { "basefreq", wav, "--loop" },
        { "mix", spj, "-o", "" },
        { "mix", spj, "-o", spj },
        { "mix", spj, "--threads", "0" },
        { "mix", spj, "--threads", "257" },
        { "mix", spj, "--threads", "two" },
        // A stray word is another input, and -o names the output of one.
        { "mix", spj, "--strict", "yes", "-o", path("keep.wav") },
    };
    for (const Args& args : cases)
        expectAnswer(args, 2, "vellisto-cli " + args[0] + ": ");
    expectAnswer({ "mixdown", spj }, 2, "vellisto-cli: unknown command 'mixdown' (usage: ");
}
