// SPDX-License-Identifier: MIT
// vellisto-cli mix: the output replaces its target only when the mix is
// complete, failed sounds are warnings (errors with --strict), the lists of
// other projects are copied in, and Ctrl+C aborts without damage.

#include "cli/CliFixture.h"
#include "mix/MixTestUtil.h"
#include "model/ProjectFile.h"
#include "model/TextTable.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace vellisto;
namespace fs = std::filesystem;
using test::MakeEvent;
using test::ReadText;

namespace {

// The 16-bit samples of a WAVE file after its 44-byte header.
std::vector<int> DataSamples(const std::string& path)
{
    const std::string bytes = ReadText(path);
    std::vector<int> out;
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<std::int16_t>(
            static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
    return out;
}

class MixCli : public test::CliFixture {
protected:
    // A mono 44100 Hz project without interpolation, so one voice at unity
    // gain comes out exactly as its samples.
    static std::unique_ptr<Project> MonoProject()
    {
        auto project = CreateProject();
        project->settings.outputFormat = test::PcmFormat(1, 44100, 16);
        project->settings.mixingInterpolation = 0;
        return project;
    }

    // Sound id named '\name' that plays from frame 0 on track 0, which ends at endFrame.
    static void Play(Project& project, std::uint32_t id, const std::u16string& name,
        std::uint32_t endFrame, std::uint32_t track = 0)
    {
        SoundSlot& slot = project.sounds[id];
        test::SetName(slot.fileName, u"\\" + name);
        slot.volume = 1024;
        slot.pitch = 1u << 24;
        slot.loopBegin = kNoLoop;
        slot.loopEnd = kNoLoop;
        test::SetEvents(project.tracks[track],
            { MakeEvent(0, EventType::kPlay, id, 1024, 1u << 24),
                MakeEvent(endFrame, EventType::kVolume, 1024) });
    }

    void writeConstant(const std::string& name, std::int16_t value, std::size_t frames) const
    {
        writeBytes(name,
            test::WaveBytes {}.pcm16(1, 44100, std::vector<std::int16_t>(frames, value)).file());
    }

    void save(const Project& project, const std::string& name) const
    {
        ASSERT_EQ(WriteProjectFile(project, path(name)), ProjectWriteResult::kOk);
    }

    // Names in the scratch folder other than the fixture's own output captures.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename().string();
            if (name != ".out" && name != ".err")
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(MixCli, MixesBesideTheInputAndReports)
{
    auto project = MonoProject();
    Play(*project, 3, u"tone.wav", 441);
    save(*project, "song.spj");
    writeConstant("tone.wav", 1234, 1000);

    // The sound's relative name is found beside the project.
    const test::CliResult r = run({ "mix", path("song.spj") });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(DataSamples(path("song.wav")), std::vector<int>(441, 1234));
    EXPECT_TRUE(
        r.out.starts_with("mix length: 441 frames (00:00.010)\nFinished mixing.\nTime to mix: "))
        << r.out;
    EXPECT_NE(r.out.find("seconds\nMixing speed: "), std::string::npos);
    EXPECT_TRUE(r.err.empty()) << r.err; // not a terminal: no progress bar
    EXPECT_EQ(files(), (std::vector<std::string> { "song.spj", "song.wav", "tone.wav" }));

    // -o replaces an existing file; --quiet prints nothing; --threads is accepted.
    std::ofstream(path("old.wav")) << "old";
    const test::CliResult quiet
        = run({ "mix", path("song.spj"), "-o", path("old.wav"), "--quiet", "--threads", "4" });
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_TRUE(quiet.out.empty());
    EXPECT_EQ(DataSamples(path("old.wav")), std::vector<int>(441, 1234));
}

TEST_F(MixCli, FailedSoundsWarnOrStopWithStrict)
{
    auto project = MonoProject();
    Play(*project, 1, u"tone.wav", 10);
    test::SetName(project->sounds[7].fileName, u"\\lost.wav");
    save(*project, "song.spj");
    writeConstant("tone.wav", -50, 10);
    std::ofstream(path("song.wav")) << "keep";

    const test::CliResult strict = run({ "mix", path("song.spj"), "--strict" });
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.err,
        "vellisto-cli: error: sound 7: " + path("lost.wav") + ": cannot open or read the file\n");
    EXPECT_TRUE(strict.out.empty()) << strict.out;
    EXPECT_EQ(ReadText(path("song.wav")), "keep");
    EXPECT_EQ(files(), (std::vector<std::string> { "song.spj", "song.wav", "tone.wav" }));

    const test::CliResult lenient = run({ "mix", path("song.spj") });
    EXPECT_EQ(lenient.exitCode, 0);
    EXPECT_EQ(lenient.err,
        "vellisto-cli: warning: sound 7: " + path("lost.wav") + ": cannot open or read the file\n");
    EXPECT_EQ(DataSamples(path("song.wav")), std::vector<int>(10, -50));
}

TEST_F(MixCli, RefusalsLeaveTheOutputAlone)
{
    std::ofstream(path("song.wav")) << "keep";
    // A circular link.
    auto cycle = MonoProject();
    for (std::uint32_t id : { 5u, 6u }) {
        test::SetName(cycle->sounds[id].fileName, u"\\x.wav");
        cycle->sounds[id].linkedId = 11 - id;
        cycle->sounds[id].linkingMode = 1;
    }
    save(*cycle, "song.spj");
    test::CliResult r = run({ "mix", path("song.spj") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "There is a circular reference link at sound 5.\n");

    // A mix whose samples would pass the 32-bit sizes of a WAVE file.
    auto longMix = MonoProject();
    test::SetEvents(longMix->tracks[9], { MakeEvent(0x7FFFFFFF, EventType::kVolume, 1024) });
    save(*longMix, "song.spj");
    r = run({ "mix", path("song.spj") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, std::string(Text(TextId::kMixTooLong)) + "\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadText(path("song.wav")), "keep");
    EXPECT_EQ(files(), (std::vector<std::string> { "song.spj", "song.wav" }));
}

TEST_F(MixCli, CopiesSoundAndTrackListsFromOtherProjects)
{
    // The input has events for sound 2 but no sound; the kit has the sound, the
    // other project the track, at half the rate (its times are doubled).
    auto input = MonoProject();
    test::SetEvents(input->tracks[0], { MakeEvent(4, EventType::kVolume, 1024) });
    save(*input, "song.spj");
    auto kit = MonoProject();
    Play(*kit, 2, u"tone.wav", 1);
    kit->tracks[0] = {};
    save(*kit, "kit.spj");
    auto other = MonoProject();
    other->settings.outputFormat = test::PcmFormat(1, 22050, 16);
    test::SetEvents(other->tracks[5],
        { MakeEvent(0, EventType::kPlay, 2, 1024, 1u << 24),
            MakeEvent(3, EventType::kVolume, 1024) });
    save(*other, "other.spj");
    writeConstant("tone.wav", 77, 100);

    const test::CliResult r = run({ "mix", path("song.spj"), "--sound-list", path("kit.spj"),
        "--track-list", path("other.spj"), "-o", path("out.wav") });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // One warning, for the list at another rate.
    EXPECT_TRUE(r.err.starts_with("vellisto-cli: warning: " + path("other.spj") + ": ")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(DataSamples(path("out.wav")), std::vector<int>(6, 77));
}

TEST_F(MixCli, SignalsAbortAndKeepTheOldOutput)
{
    // Twenty minutes of stereo: far longer than it takes to deliver the signal.
    auto project = CreateProject();
    test::SetEvents(project->tracks[0], { MakeEvent(44100 * 1200, EventType::kVolume, 1024) });
    save(*project, "song.spj");
    std::ofstream(path("song.wav")) << "keep";

    for (const int signal : { SIGINT, SIGTERM, SIGHUP }) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int err = ::open(path(".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(err, STDERR_FILENO);
            const int out = ::open(path(".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(out, STDOUT_FILENO);
            const std::string input = path("song.spj");
            ::execl(VEL_CLI_PATH, VEL_CLI_PATH, "mix", input.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The temporary output appears once the mix has its file: signal then.
        while (files().size() < 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 1) << signal;
        EXPECT_EQ(ReadText(path(".err")), "Aborted.\n") << signal;
        EXPECT_EQ(ReadText(path("song.wav")), "keep") << signal;
        EXPECT_EQ(files(), (std::vector<std::string> { "song.spj", "song.wav" })) << signal;
    }
}

// Runs a bash script with VEL the tool's path; the exit status of the script.
int RunScript(const std::string& script)
{
    const std::string command
        = "bash -c " + test::Quote(script) + " " + test::Quote(VEL_CLI_PATH) + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(MixCli, FolderNamesThatAreNotStoredNamesKeepTheirBytes)
{
    // An output folder whose name holds '\' beside one with the same name
    // as a stored name would read it, and a project folder that is not UTF-8.
    for (const std::string& folder : { path("a\\b"), path("x\xff\xfe") }) {
        fs::create_directories(folder);
        fs::create_directories(path("a/b"));
        auto project = MonoProject();
        Play(*project, 2, u"tone.wav", 20);
        ASSERT_EQ(WriteProjectFile(*project, folder + "/song.spj"), ProjectWriteResult::kOk);
        writeBytes(folder.substr(m_dir.size() + 1) + "/tone.wav",
            test::WaveBytes {}.pcm16(1, 44100, std::vector<std::int16_t>(20, 77)).file());
        std::ofstream(folder + "/out.wav") << "OLD";

        const test::CliResult r
            = run({ "mix", folder + "/song.spj", "-o", folder + "/out.wav", "--strict" });
        ASSERT_EQ(r.exitCode, 0) << folder << "\n" << r.err;
        EXPECT_EQ(DataSamples(folder + "/out.wav"), std::vector<int>(20, 77)) << folder;
        EXPECT_TRUE(fs::is_empty(path("a/b"))) << folder;
    }

    // A chart in a folder that is not UTF-8 finds its sounds beside it.
    const std::string chartFolder = path("c\xff");
    fs::create_directories(chartFolder);
    std::ofstream(chartFolder + "/chart.bms") << "#WAV01 tone.wav\r\n#00111:01\r\n";
    std::ofstream(chartFolder + "/tone.wav", std::ios::binary)
        .write(
            reinterpret_cast<const char*>(
                test::WaveBytes {}.pcm16(1, 44100, std::vector<std::int16_t>(10, 5)).file().data()),
            44 + 20);
    const test::CliResult chart = run({ "mix", chartFolder + "/chart.bms", "--strict" });
    EXPECT_EQ(chart.exitCode, 0) << chart.err;
}

TEST_F(MixCli, OutputsThatAreInputsOrWriteProtectedAreRefused)
{
    // The default output of kick.spj is kick.wav, one of its own sounds.
    auto project = MonoProject();
    Play(*project, 1, u"kick.wav", 10);
    save(*project, "kick.spj");
    writeConstant("kick.wav", 9, 10);
    const std::string kick = ReadText(path("kick.wav"));
    test::CliResult r = run({ "mix", path("kick.spj") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("the output is the file of sound 1"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(path("kick.wav")), kick);

    // convert and mix refuse to replace the file they read, through links too.
    std::ofstream(path("song.mid")) << "MThd";
    fs::create_symlink(path("song.mid"), path("link.mid"));
    for (const auto& args :
        { std::vector<std::string> { "convert", path("song.mid"), "-o", path("link.mid") },
            std::vector<std::string> { "mix", path("kick.spj"), "-o", path("kick.spj") } }) {
        r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args[0];
        EXPECT_NE(r.err.find("the output would replace"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadText(path("song.mid")), "MThd");

    // A write-protected output is refused; a replaced output keeps its mode.
    std::ofstream(path("locked.wav")) << "keep";
    fs::permissions(path("locked.wav"), fs::perms::owner_read | fs::perms::group_read);
    r = run({ "mix", path("kick.spj"), "-o", path("locked.wav") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(path("locked.wav") + ": Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(ReadText(path("locked.wav")), "keep");
    std::ofstream(path("private.wav")) << "old";
    fs::permissions(path("private.wav"), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(run({ "mix", path("kick.spj"), "-o", path("private.wav") }).exitCode, 0);
    EXPECT_EQ(fs::status(path("private.wav")).permissions(),
        fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(MixCli, OutputErrorsAreReportedAndAClosedPipeAfterAMixIsNot)
{
    auto project = MonoProject();
    Play(*project, 1, u"tone.wav", 44100 * 5);
    save(*project, "song.spj");
    writeConstant("tone.wav", 3, 10);
    writeConstant("plain.wav", 3, 1000);

    // Standard output on a full device: the result is lost, so the command fails.
    EXPECT_EQ(RunScript("\"$0\" basefreq " + test::Quote(path("plain.wav")) + " >/dev/full"), 1);
    EXPECT_EQ(RunScript("\"$0\" info " + test::Quote(path("song.spj")) + " >/dev/full"), 1);
    // A reader that goes away after the first byte does not fail a complete mix.
    EXPECT_EQ(RunScript("\"$0\" mix " + test::Quote(path("song.spj"))
                  + " | head -c 1 >/dev/null; exit ${PIPESTATUS[0]}"),
        0);
    EXPECT_EQ(DataSamples(path("song.wav")).size(), 44100u * 5);

    // A full disk: the file, the system's reason, and the old output kept.
    std::ofstream(path("song.wav")) << "keep";
    const test::CliResult full = [&] {
        const std::string command = "bash -c 'ulimit -f 64; exec \"$0\" mix \"$1\"' "
            + test::Quote(VEL_CLI_PATH) + " " + test::Quote(path("song.spj")) + " >"
            + test::Quote(path(".out")) + " 2>" + test::Quote(path(".err"));
        const int status = std::system(command.c_str());
        return test::CliResult { WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            ReadText(path(".out")), ReadText(path(".err")) };
    }();
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "Failed in mixing. " + path("song.wav") + ": File too large\n");
    EXPECT_EQ(full.out.find("Finished"), std::string::npos) << full.out;
    EXPECT_EQ(ReadText(path("song.wav")), "keep");
    EXPECT_EQ(
        files(), (std::vector<std::string> { "plain.wav", "song.spj", "song.wav", "tone.wav" }));
}

namespace {

// Reads the report of mix --json with jq: the value at filter of the one
// JSON value on standard output, as jq prints it raw. Fails the test when
// the output is not exactly one JSON value.
class MixJson : public MixCli {
protected:
    std::string jq(const std::string& output, const std::string& filter) const
    {
        std::ofstream(path("report.json"), std::ios::binary) << output;
        const std::string program
            = "if length == 1 then .[0] | " + filter + " else error(\"not one value\") end";
        const std::string command = "jq -r -s " + test::Quote(program) + " "
            + test::Quote(path("report.json")) + " >" + test::Quote(path("jq.out")) + " 2>&1";
        const int status = std::system(command.c_str());
        std::string value = ReadText(path("jq.out"));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << filter << ": " << value << "\n"
            << output;
        if (!value.empty() && value.back() == '\n')
            value.pop_back();
        return value;
    }
};

} // namespace

TEST_F(MixJson, ReportsTheFiguresOfTheTextReport)
{
    auto project = MonoProject();
    Play(*project, 3, u"tone.wav", 441);
    test::SetName(project->sounds[7].fileName, u"\\lost.wav");
    save(*project, "song.spj");
    writeConstant("tone.wav", 1234, 1000);

    const test::CliResult text = run({ "mix", path("song.spj") });
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(text.out.starts_with("mix length: 441 frames (00:00.010)\n")) << text.out;

    const test::CliResult r = run({ "mix", path("song.spj"), "--json" });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(DataSamples(path("song.wav")), std::vector<int>(441, 1234));
    EXPECT_EQ(jq(r.out, ".result"), "ok");
    EXPECT_EQ(jq(r.out, ".input"), path("song.spj"));
    EXPECT_EQ(jq(r.out, ".output"), path("song.wav"));
    EXPECT_EQ(jq(r.out, ".sampleRate"), "44100");
    EXPECT_EQ(jq(r.out, ".lengthFrames"), "441");
    EXPECT_EQ(jq(r.out, ".lengthTime"), "00:00.010");
    // The time in seconds is the milliseconds; the speed is the result's
    // length (10 ms) over the time taken, at least 1 ms, to four places.
    const double ms = std::stod(jq(r.out, ".timeTakenMs"));
    EXPECT_DOUBLE_EQ(std::stod(jq(r.out, ".timeTakenSeconds")), ms / 1000);
    EXPECT_NEAR(std::stod(jq(r.out, ".speed")), 10.0 / std::max(ms, 1.0), 0.00005);
    // The sound that failed, and the warning that said so.
    EXPECT_EQ(jq(r.out, ".failedSounds | length"), "1");
    EXPECT_EQ(jq(r.out, ".failedSounds[0].id"), "7");
    EXPECT_EQ(jq(r.out, ".failedSounds[0].path"), path("lost.wav"));
    EXPECT_EQ(jq(r.out, ".failedSounds[0].reason"), "cannot open or read the file");
    EXPECT_EQ(jq(r.out, ".messages | length"), "1");
    EXPECT_EQ(r.err, jq(r.out, ".messages[0]") + "\n");
    EXPECT_EQ(r.err, text.err);

    // --quiet leaves the report.
    const test::CliResult quiet = run({ "mix", path("song.spj"), "--json", "--quiet" });
    EXPECT_EQ(jq(quiet.out, ".lengthFrames"), "441");
}

TEST_F(MixJson, SaysWhatWentWrong)
{
    auto project = MonoProject();
    Play(*project, 1, u"tone.wav", 10);
    test::SetName(project->sounds[7].fileName, u"\\lost.wav");
    save(*project, "song.spj");
    writeConstant("tone.wav", 5, 10);
    auto cycle = MonoProject();
    for (std::uint32_t id : { 5u, 6u }) {
        test::SetName(cycle->sounds[id].fileName, u"\\x.wav");
        cycle->sounds[id].linkedId = 11 - id;
        cycle->sounds[id].linkingMode = 1;
    }
    save(*cycle, "cycle.spj");

    struct Case {
        std::vector<std::string> args;
        std::string message; // the one line on standard error and in the report
        bool opened; // the input was read: the length is known
        std::string failedSounds;
    };
    const Case cases[] = {
        { { "mix", path("song.spj"), "--strict" },
            "vellisto-cli: error: sound 7: " + path("lost.wav") + ": cannot open or read the file",
            true, "7" },
        { { "mix", path("cycle.spj") }, "There is a circular reference link at sound 5.", true,
            "" },
        { { "mix", path("absent.spj") }, "vellisto-cli: " + path("absent.spj") + ": no such file",
            false, "" },
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.push_back("--json");
        const test::CliResult r = run(args);
        EXPECT_EQ(r.exitCode, 1) << c.message;
        EXPECT_EQ(r.err, c.message + "\n");
        EXPECT_EQ(jq(r.out, ".result"), "failed");
        EXPECT_EQ(jq(r.out, ".messages | length"), "1");
        EXPECT_EQ(jq(r.out, ".messages[0]"), c.message);
        EXPECT_EQ(jq(r.out, "has(\"lengthFrames\")"), c.opened ? "true" : "false");
        EXPECT_EQ(jq(r.out, "has(\"timeTakenMs\")"), "false");
        EXPECT_EQ(jq(r.out, "[.failedSounds[].id | tostring] | join(\",\")"), c.failedSounds);
    }

    // A usage error reports nothing on standard output: nothing was tried.
    const test::CliResult usage = run({ "mix", path("song.spj"), "--json", "--threads", "0" });
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.out.empty()) << usage.out;
}

TEST_F(MixJson, NamesThatAreNotUtf8StayValidJson)
{
    const std::string folder = path("x\xff");
    fs::create_directories(folder);
    auto project = MonoProject();
    Play(*project, 2, u"tone.wav", 20);
    ASSERT_EQ(WriteProjectFile(*project, folder + "/song.spj"), ProjectWriteResult::kOk);
    writeConstant("x\xff/tone.wav", 77, 20);
    const test::CliResult r = run({ "mix", folder + "/song.spj", "--json" });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(DataSamples(folder + "/song.wav"), std::vector<int>(20, 77));
    // The byte that is no UTF-8 is U+FFFD in the report.
    EXPECT_EQ(jq(r.out, ".output"), path("x\xEF\xBF\xBD/song.wav"));
}

TEST_F(MixJson, AnAbortIsReported)
{
    auto project = CreateProject();
    test::SetEvents(project->tracks[0], { MakeEvent(44100 * 1200, EventType::kVolume, 1024) });
    save(*project, "song.spj");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err = ::open(path(".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        const int out = ::open(path(".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        const std::string input = path("song.spj");
        ::execl(VEL_CLI_PATH, VEL_CLI_PATH, "mix", input.c_str(), "--json",
            static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The temporary output appears once the mix has its file: interrupt then.
    while (files().size() < 2)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(path(".err")), "Aborted.\n");
    const std::string out = ReadText(path(".out"));
    EXPECT_EQ(jq(out, ".result"), "aborted");
    EXPECT_EQ(jq(out, ".messages[0]"), "Aborted.");
    EXPECT_EQ(jq(out, ".lengthFrames"), std::to_string(44100 * 1200));
}

TEST_F(MixCli, ReportsThePeakLevelAndTheClippedSamples)
{
    // Half scale on one track: -6.0 dBFS, nothing clipped.
    auto quiet = MonoProject();
    Play(*quiet, 1, u"half.wav", 441);
    save(*quiet, "quiet.spj");
    writeConstant("half.wav", 16384, 1000);
    // Two tracks at -20000 each sum past the range: every frame sits at -32768.
    auto loud = MonoProject();
    Play(*loud, 1, u"low.wav", 441, 0);
    Play(*loud, 1, u"low.wav", 441, 1);
    save(*loud, "loud.spj");
    writeConstant("low.wav", -20000, 1000);
    // No events: silence has no level at all.
    save(*MonoProject(), "silent.spj");

    struct Case {
        std::string input;
        std::string dbfsText;
        std::string dbfsJson;
        std::string clipped;
    };
    for (const Case& c :
        { Case { "quiet.spj", "-6.0", "-6.0", "0" }, Case { "loud.spj", "0.0", "0.0", "441" },
            Case { "silent.spj", "-inf", "null", "0" } }) {
        const test::CliResult text = run({ "mix", path(c.input), "-o", path("out.wav") });
        ASSERT_EQ(text.exitCode, 0) << text.err;
        EXPECT_NE(text.out.find("\nPeak level: " + c.dbfsText
                      + " dBFS\nClipped samples: " + c.clipped + "\n"),
            std::string::npos)
            << text.out;
        const test::CliResult json = run({ "mix", path(c.input), "-o", path("out.wav"), "--json" });
        ASSERT_EQ(json.exitCode, 0) << json.err;
        EXPECT_NE(json.out.find("\"peakDbfs\": " + c.dbfsJson
                      + ",\n  \"clippedSamples\": " + c.clipped + ",\n"),
            std::string::npos)
            << json.out;
    }
    EXPECT_EQ(DataSamples(path("out.wav")), std::vector<int> {});

    // A failed mix has no level to report (the same mix succeeds while its sound is there).
    const test::CliResult present
        = run({ "mix", path("quiet.spj"), "-o", path("out.wav"), "--json", "--strict" });
    ASSERT_EQ(present.exitCode, 0) << present.err;
    fs::remove(path("half.wav"));
    const test::CliResult missing
        = run({ "mix", path("quiet.spj"), "-o", path("out.wav"), "--json", "--strict" });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.out.find("peakDbfs"), std::string::npos) << missing.out;
}

TEST_F(MixCli, CompressedOutputsAreEncodedFromTheSameMix)
{
    // A stereo tone at 48000 Hz, so every encoding can store it.
    auto project = CreateProject();
    project->settings.outputFormat = test::PcmFormat(2, 48000, 16);
    Play(*project, 1, u"tone.wav", 4800);
    save(*project, "song.spj");
    std::vector<std::int16_t> tone;
    for (int i = 0; i < 6000; ++i)
        tone.push_back(static_cast<std::int16_t>((i * 37) % 20000 - 10000));
    writeBytes("tone.wav", test::WaveBytes {}.pcm16(1, 48000, tone).file());

    test::CliResult r = run({ "mix", path("song.spj"), "-o", path("song.wav"), "--quiet" });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<int> wave = DataSamples(path("song.wav"));
    ASSERT_EQ(wave.size(), 9600u);
    ASSERT_NE(std::count(wave.begin(), wave.end(), 0), 9600);

    // FLAC is lossless: decoded by another program it gives the WAVE's samples.
    r = run({ "mix", path("song.spj"), "-o", path("song.FLAC"), "--json" });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"output\": \"" + path("song.FLAC") + "\""), std::string::npos);
    ASSERT_EQ(std::system(("sox -q " + test::Quote(path("song.FLAC")) + " -t wav -e signed -b 16 "
                  + test::Quote(path("decoded.wav")))
                              .c_str()),
        0);
    EXPECT_EQ(DataSamples(path("decoded.wav")), wave);
    fs::remove(path("decoded.wav"));

    // The lossy ones decode, in stereo.
    for (const std::string name : { "song.ogg", "song.opus" }) {
        r = run({ "mix", path("song.spj"), "-o", path(name), "--quiet" });
        ASSERT_EQ(r.exitCode, 0) << r.err;
        // sox reads Ogg Vorbis; Opus goes through opusdec first.
        std::string info = "soxi -c " + test::Quote(path(name));
        if (name.ends_with(".opus"))
            info = "opusdec --quiet " + test::Quote(path(name)) + " " + test::Quote(path("o.wav"))
                + " && soxi -c " + test::Quote(path("o.wav")) + " && rm "
                + test::Quote(path("o.wav"));
        info = "(" + info + ") >" + test::Quote(path("c"));
        ASSERT_EQ(std::system(info.c_str()), 0) << name;
        EXPECT_EQ(ReadText(path("c")), "2\n") << name;
        fs::remove(path("c"));
    }

    // Opus cannot store 44100 Hz: a clear failure before anything is mixed,
    // the existing output kept and no temporary file left behind.
    std::ofstream(path("old.opus")) << "old";
    project->settings.outputFormat = test::PcmFormat(2, 44100, 16);
    save(*project, "song.spj");
    r = run({ "mix", path("song.spj"), "-o", path("old.opus") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
        "Failed in mixing. " + path("old.opus")
            + ": this encoding cannot store 44100 Hz with 2 channels (Opus takes 8000, 12000, "
              "16000, 24000 or 48000 Hz)\n");
    EXPECT_EQ(r.out, ""); // not even the mix's length: it never started
    EXPECT_EQ(ReadText(path("old.opus")), "old");
    EXPECT_EQ(files(),
        (std::vector<std::string> { "old.opus", "song.FLAC", "song.ogg", "song.opus", "song.spj",
            "song.wav", "tone.wav" }));

    // A compressed output never replaces a sound the mix reads.
    r = run({ "mix", path("song.spj"), "-o", path("tone.wav.flac") });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    fs::rename(path("tone.wav"), path("tone.ogg")); // found by the extension fallback
    const std::string before = ReadText(path("tone.ogg"));
    r = run({ "mix", path("song.spj"), "-o", path("tone.ogg") });
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_EQ(ReadText(path("tone.ogg")), before);
}

TEST_F(MixCli, BatchMixesEveryInputAndReportsEachOne)
{
    // Two good projects and a damaged one between them.
    auto project = MonoProject();
    Play(*project, 1, u"tone.wav", 441);
    save(*project, "a.spj");
    Play(*project, 1, u"tone.wav", 882);
    save(*project, "c.spj");
    writeBytes("b.mid", { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 0 }); // division 0
    writeConstant("tone.wav", 1000, 1000);
    fs::create_directory(path("out"));

    test::CliResult r = run({ "mix", path("a.spj"), path("b.mid"), path("c.spj"), "--out-dir",
        path("out"), "-f", "flac" });
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out,
        path("a.spj") + ": ok: " + path("out/a.flac") + ", peak -30.3 dBFS, 0 clipped samples\n"
            + path("b.mid") + ": failed\n" + path("c.spj") + ": ok: " + path("out/c.flac")
            + ", peak -30.3 dBFS, 0 clipped samples\n");
    EXPECT_NE(r.err.find(path("b.mid") + ": division of 0"), std::string::npos) << r.err;
    ASSERT_EQ(std::system(("sox -q " + test::Quote(path("out/c.flac")) + " -t wav -b 16 "
                  + test::Quote(path("c.wav")))
                              .c_str()),
        0);
    EXPECT_EQ(DataSamples(path("c.wav")), std::vector<int>(882, 1000));
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(path("out")))
        written.push_back(entry.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string> { "a.flac", "c.flac" }));

    // All good: exit 0; beside the inputs as WAVE files without --out-dir and -f;
    // --json gives an array of the reports.
    r = run({ "mix", path("a.spj"), path("c.spj"), "--json" });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("[\n{\n  \"result\": \"ok\",\n  \"input\": \"" + path("a.spj")))
        << r.out;
    EXPECT_NE(r.out.find("}\n,\n{\n  \"result\": \"ok\",\n  \"input\": \"" + path("c.spj")),
        std::string::npos)
        << r.out;
    EXPECT_TRUE(r.out.ends_with("}\n]\n")) << r.out;
    EXPECT_EQ(DataSamples(path("a.wav")), std::vector<int>(441, 1000));
    EXPECT_EQ(DataSamples(path("c.wav")), std::vector<int>(882, 1000));

    // What cannot be a batch is refused before anything is mixed.
    fs::create_directory(path("x"));
    std::ofstream(path("x/a.spj")) << "x";
    for (const std::vector<std::string>& args :
        { std::vector<std::string> { "mix", path("a.spj"), path("c.spj"), "-o", path("o.wav") },
            { "mix", path("a.spj"), path("x/a.spj"), "--out-dir", path("out") },
            { "mix", path("a.spj"), "-f", "mp3" },
            { "mix", path("c.spj"), path("a.wav"), "-f", "wav" } }) {
        r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
    }
    r = run({ "mix", path("a.spj"), path("c.spj"), "--out-dir", path("absent") });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "vellisto-cli: " + path("absent") + ": no such folder\n");
    EXPECT_FALSE(fs::exists(path("o.wav")));
}

TEST_F(MixJson, BatchReportsInInputOrderWithEachMixsOwnMessages)
{
    // Five inputs, more than most machines mix at once: two good projects, a
    // damaged score, a chart with a sound that is missing, and a file that
    // does not exist.
    auto project = MonoProject();
    Play(*project, 1, u"tone.wav", 441);
    save(*project, "a.spj");
    Play(*project, 1, u"tone.wav", 882);
    save(*project, "e.spj");
    writeBytes("b.mid", { 'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 0 }); // division 0
    std::ofstream(path("c.bms"), std::ios::binary)
        << "#WAV01 tone.wav\r\n#WAV02 gone.wav\r\n#00111:0102\r\n";
    writeConstant("tone.wav", 1000, 1000);
    const std::vector<std::string> inputs { path("a.spj"), path("b.mid"), path("c.bms"),
        path("d.spj"), path("e.spj") };
    fs::create_directory(path("out"));
    fs::create_directory(path("alone"));

    std::vector<std::string> args { "mix" };
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), { "--out-dir", path("out") });
    test::CliResult r = run(args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    std::istringstream lines(r.out);
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);)
        got.push_back(line);
    ASSERT_EQ(got.size(), 5u) << r.out;
    EXPECT_TRUE(got[0].starts_with(path("a.spj") + ": ok: " + path("out/a.wav") + ", peak "))
        << got[0];
    EXPECT_EQ(got[1], path("b.mid") + ": failed");
    EXPECT_TRUE(got[2].starts_with(path("c.bms") + ": ok: " + path("out/c.wav") + ", peak "))
        << got[2];
    EXPECT_EQ(got[3], path("d.spj") + ": failed");
    EXPECT_TRUE(got[4].starts_with(path("e.spj") + ": ok: " + path("out/e.wav") + ", peak "))
        << got[4];

    // Every output is the file the same input gives alone.
    const std::pair<std::string, std::string> good[] { { "a.spj", "a" }, { "c.bms", "c" },
        { "e.spj", "e" } };
    const auto mixedAlone = [&](const std::string& extension) {
        for (const auto& [input, stem] : good) {
            const test::CliResult alone
                = run({ "mix", path(input), "-o", path("alone/" + stem + extension) });
            ASSERT_EQ(alone.exitCode, 0) << alone.err;
            const std::string together = ReadText(path("out/" + stem + extension));
            EXPECT_GT(together.size(), 44u) << stem;
            EXPECT_TRUE(together == ReadText(path("alone/" + stem + extension))) << stem;
        }
    };
    mixedAlone(".wav");
    EXPECT_EQ(DataSamples(path("out/a.wav")), std::vector<int>(441, 1000));

    // The reports come in the same order, each with the messages of its own
    // mix only, though the mixes ran side by side.
    args.insert(args.end(), { "--json", "-f", "flac" });
    r = run(args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(jq(r.out, "map(.input) | @json"),
        "[\"" + inputs[0] + "\",\"" + inputs[1] + "\",\"" + inputs[2] + "\",\"" + inputs[3]
            + "\",\"" + inputs[4] + "\"]");
    EXPECT_EQ(jq(r.out, "map(.result) | @json"), R"(["ok","failed","ok","failed","ok"])");
    EXPECT_EQ(jq(r.out, "map(.messages | length) | @json"), "[0,1,1,1,0]");
    EXPECT_EQ(jq(r.out, "map(.messages | join(\"\") | contains(\"division of 0\")) | @json"),
        "[false,true,false,false,false]");
    EXPECT_EQ(jq(r.out, "map(.messages | join(\"\") | contains(\"gone.wav\")) | @json"),
        "[false,false,true,false,false]");
    EXPECT_EQ(jq(r.out, "map(.messages | join(\"\") | contains(\"d.spj\")) | @json"),
        "[false,false,false,true,false]");
    EXPECT_EQ(jq(r.out, "map(.failedSounds | map(.id)) | @json"), "[[],[],[2],[],[]]");
    // Standard error holds the same lines, each whole, in whatever order the
    // mixes printed them.
    std::vector<std::string> errLines;
    std::istringstream err(r.err);
    for (std::string line; std::getline(err, line);)
        errLines.push_back(line);
    std::sort(errLines.begin(), errLines.end());
    std::string joined;
    for (const std::string& line : errLines)
        joined += (joined.empty() ? "" : "\n") + line;
    EXPECT_EQ(jq(r.out, "[.[].messages[]] | sort | join(\"\\n\")"), joined);
    mixedAlone(".flac");
}

TEST_F(MixCli, BatchMixesRunSideBySideAndAnInterruptStopsThemAll)
{
    if (std::thread::hardware_concurrency() < 2)
        GTEST_SKIP() << "one hardware thread: the mixes of a batch run one after another";
    // Three mixes of twenty minutes, each a looped sound at four pitches with
    // sinc interpolation: seconds of work each, far longer than it takes to
    // see them start.
    auto project = MonoProject();
    project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
    Play(*project, 1, u"tone.wav", 0);
    project->sounds[1].loopBegin = 0;
    project->sounds[1].loopEnd = 900;
    for (std::uint32_t track = 0; track < 4; ++track)
        test::SetEvents(project->tracks[track],
            { MakeEvent(0, EventType::kPlay, 1, 1024, (1u << 24) + 12345 * (track + 1)),
                MakeEvent(44100 * 1200, EventType::kVolume, 1024) });
    for (const char* name : { "a.spj", "b.spj", "c.spj" })
        save(*project, name);
    writeConstant("tone.wav", 1000, 1000);
    fs::create_directory(path("out"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int err = ::open(path(".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, STDERR_FILENO);
        const int out = ::open(path(".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, STDOUT_FILENO);
        const std::string a = path("a.spj"), b = path("b.spj"), c = path("c.spj"),
                          dir = path("out");
        ::execl(VEL_CLI_PATH, VEL_CLI_PATH, "mix", a.c_str(), b.c_str(), c.c_str(), "--out-dir",
            dir.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Each mix writes into a temporary file of its own in the output folder
    // until it is complete: two of them at once are two mixes under way
    // together. Mixed one after another, the batch would end without ever
    // showing two.
    const auto inOut = [&](bool temporaryOnly) {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(path("out")))
            count += !temporaryOnly || entry.path().filename().string().starts_with(".vellisto-");
        return count;
    };
    int status = 0;
    bool ended = false;
    while (inOut(true) < 2 && !ended) {
        ended = ::waitpid(child, &status, WNOHANG) == child;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_FALSE(ended) << "no two mixes ran at once: " << ReadText(path(".out"));
    ::kill(child, SIGTERM);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    // The mixes under way abort, in the order given, and leave nothing; none
    // starts after the interrupt (with two hardware threads, c never started).
    const std::string out = ReadText(path(".out"));
    std::string expected = path("a.spj") + ": aborted\n" + path("b.spj") + ": aborted\n";
    if (out.size() > expected.size())
        expected += path("c.spj") + ": aborted\n";
    EXPECT_EQ(out, expected);
    if (std::thread::hardware_concurrency() == 2) {
        EXPECT_EQ(out.find("c.spj"), std::string::npos);
    }
    const std::string err = ReadText(path(".err"));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), std::count(out.begin(), out.end(), '\n'))
        << err;
    EXPECT_TRUE(err.starts_with("Aborted.\n")) << err;
    EXPECT_EQ(inOut(false), 0u);
}
