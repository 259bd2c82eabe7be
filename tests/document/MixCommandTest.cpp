// SPDX-License-Identifier: MIT
#include "document/MixCommand.h"

#include "audio/SincTables.h"
#include "document/Document.h"
#include "engine/Mixer.h"
#include "mix/MixTestUtil.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "support/CountingView.h"
#include "support/ScriptedUserInterface.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

using namespace vellisto;
using vellisto::test::MakeEvent;
using vellisto::test::PcmFormat;
using vellisto::test::SetEvents;
using vellisto::test::SetName;
using vellisto::test::U16;
using vellisto::testing::ScriptedUserInterface;

namespace {

// The threads of this process, counted from /proc.
std::size_t ThreadCount()
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry :
        std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// The 16-bit samples of a mixed file after its 44-byte header.
std::vector<int> DataSamples(const std::string& path)
{
    const auto bytes = platform::ReadWholeFile(path);
    std::vector<int> out;
    if (!bytes)
        return out;
    for (std::size_t i = 44; i + 1 < bytes->size(); i += 2)
        out.push_back(static_cast<std::int16_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
    return out;
}

class MixCommand : public test::MixFolder {
protected:
    void SetUp() override
    {
        MixFolder::SetUp();
        audio::BuildSincTables();
        project = CreateProject();
        project->settings.outputFormat = PcmFormat(1, 44100, 16);
        project->settings.mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kNone);
        output = path("out.wav");
        ui.fileAnswers.push_back(output);
    }

    // Sound id plays a mono file of constant value on the given track at frame 0;
    // the track ends at endFrame.
    void PlayConstant(std::uint32_t id, std::uint32_t track, std::int16_t value,
        std::uint32_t frames, std::uint32_t endFrame)
    {
        std::string name = std::to_string(id);
        name.append(".wav");
        writeWave(name, 1, 44100, std::vector<std::int16_t>(frames, value));
        SoundSlot& slot = project->sounds[id];
        SetName(slot.fileName, u"\\" + U16(name));
        slot.volume = 1024;
        slot.pitch = 1u << 24;
        slot.loopBegin = kNoLoop;
        slot.loopEnd = kNoLoop;
        SetEvents(project->tracks[track],
            { MakeEvent(0, EventType::kPlay, id, 1024, 1u << 24),
                MakeEvent(endFrame, EventType::kVolume, 1024) });
    }

    bool Mix(const MixOptions& options = {})
    {
        return MixProject(*project, folder() + "/song.spj", ui, ui, ui, options);
    }

    std::unique_ptr<Project> project;
    ScriptedUserInterface ui;
    std::string output;
};

TEST_F(MixCommand, ReportsTimeAndSpeedFromTheClock)
{
    // The last event at 441000 frames: 10 s of sound at 44100 Hz.
    SetEvents(project->tracks[3], { MakeEvent(441000, EventType::kVolume, 1024) });
    std::vector<std::uint64_t> times { 1000, 3500 }; // 2500 ms apart
    MixOptions options;
    options.clock = [&times] {
        const std::uint64_t t = times.front();
        times.erase(times.begin());
        return t;
    };
    ASSERT_TRUE(Mix(options));
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filters, ParseFileFilter(Text(TextId::kWaveFileFilter)));
    EXPECT_EQ(ui.fileRequests[0].defaultExtension, ".wav");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
        "Finished mixing.\nTime to mix: 2.500 seconds\nMixing speed: 4.0000 times");
    EXPECT_EQ(ui.messages[0].caption, TextId::kInformation);
    EXPECT_EQ(std::filesystem::file_size(output), 44u + 441000u * 2);
}

TEST_F(MixCommand, ReportsThePeakLevelAndClippedSamplesOfTheWrittenFile)
{
    std::optional<mix::MixLevels> reported;
    MixOptions options;
    options.reportFinished = [&reported](const MixFigures& figures) { reported = figures.levels; };

    // Half of full scale for 100 frames: 20 log10(16384 / 32768) = -6.02 dB.
    PlayConstant(1, 0, 16384, 100, 200);
    ASSERT_TRUE(Mix(options));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Finished mixing.\n"));
    EXPECT_EQ(ui.messages[0].detail, "Peak level: -6.0 dBFS\nClipped samples: 0");
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->peak, 16384u);

    // A second voice of 20000 over the first 50 frames: 36384 is clipped to 32767.
    PlayConstant(2, 1, 20000, 50, 200);
    ui.fileAnswers.push_back(output);
    ASSERT_TRUE(Mix(options));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].detail, "Peak level: -0.0 dBFS\nClipped samples: 50");
    const std::vector<int> samples = DataSamples(output);
    ASSERT_EQ(samples.size(), 200u);
    EXPECT_EQ(samples[0], 32767);
    EXPECT_EQ(samples[60], 16384);
    ASSERT_TRUE(reported);
    EXPECT_EQ(reported->clippedSamples, 50u);
}

TEST_F(MixCommand, IgnoresMuteAndSolo)
{
    PlayConstant(1, 0, 1000, 100, 50);
    project->tracks[0].flags = kTrackMuted;
    project->tracks[1].flags = kTrackSolo; // a solo elsewhere would silence track 0 too
    ASSERT_TRUE(Mix());
    // Every gain is unity: the single voice comes out exactly.
    EXPECT_EQ(DataSamples(output), std::vector<int>(50, 1000));
}

TEST_F(MixCommand, RefusesCircularLinksBeforeAskingForAFile)
{
    for (std::uint32_t id : { 5u, 6u }) {
        SetName(project->sounds[id].fileName, u"\\x.wav");
        project->sounds[id].linkedId = 11 - id;
        project->sounds[id].linkingMode = static_cast<std::uint32_t>(LinkingMode::kAllEvents);
    }
    EXPECT_FALSE(Mix());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "There is a circular reference link at sound 5.");
    EXPECT_EQ(ui.messages[0].caption, TextId::kError);
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MixCommand, CancelledFileChoiceStopsQuietly)
{
    ui.fileAnswers = { std::nullopt };
    SetEvents(project->tracks[0], { MakeEvent(100, EventType::kVolume, 1024) });
    EXPECT_FALSE(Mix());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MixCommand, FailedSoundAsksAndCancelLeavesNoFileAndNoThread)
{
    PlayConstant(1, 0, 1000, 100, 50);
    SetName(project->sounds[2].fileName, u"\\missing.wav");
    ui.messageAnswers.push_back(MessageAnswer::kCancel);
    const std::size_t threads = ThreadCount();
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(ui.messageTexts(),
        (std::vector<std::string> { "Failed in loading sound 2. Do you want to continue?" }));
    EXPECT_FALSE(std::filesystem::exists(output));

    // OK goes on: the mix completes with the sound silent.
    std::vector<std::uint32_t> reported;
    MixOptions options;
    options.reportSoundFailure
        = [&reported](std::uint32_t id, const mix::SoundFailure&) { reported.push_back(id); };
    ui.fileAnswers.push_back(output);
    EXPECT_TRUE(Mix(options));
    EXPECT_EQ(reported, std::vector<std::uint32_t> { 2 });
    EXPECT_EQ(DataSamples(output), std::vector<int>(50, 1000));
}

TEST_F(MixCommand, AbortIsReportedAndTheWorkerIsGoneAfterwards)
{
    // Ten minutes of silence: far more blocks than the worker writes before it sees the abort.
    SetEvents(project->tracks[0], { MakeEvent(44100 * 600, EventType::kVolume, 1024) });
    ui.abortAfterPolls = 0;
    const std::size_t threads = ThreadCount();
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(ui.lastMessage().text, "Aborted.");
    EXPECT_EQ(ui.lastMessage().caption, TextId::kInformation);
    // Nothing replaced the output, and no temporary file is left.
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()), {}), 0);
}

TEST_F(MixCommand, FailuresAndAbortsLeaveAnExistingOutputAsItWas)
{
    const std::vector<std::uint8_t> previous { 'O', 'L', 'D' };
    const auto writePrevious = [&] {
        platform::File file;
        ASSERT_TRUE(file.createForWriting(output));
        ASSERT_TRUE(file.write(previous.data(), previous.size()));
    };
    const auto expectPrevious = [&](const char* what) {
        EXPECT_EQ(platform::ReadWholeFile(output), previous) << what;
        // No temporary file is left in the folder.
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            EXPECT_NE(entry.path().filename().string().rfind(".vellisto-", 0), 0u) << what;
    };
    SetEvents(project->tracks[0], { MakeEvent(44100 * 60, EventType::kVolume, 1024) });

    // A full disk: every write past 64 KiB fails. The message names the file and the reason.
    writePrevious();
    struct rlimit saved { };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 65536;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool mixed = Mix();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(mixed);
    EXPECT_EQ(ui.lastMessage().text, "Failed in mixing.");
    EXPECT_EQ(ui.lastMessage().caption, TextId::kError);
    EXPECT_EQ(ui.lastMessage().detail, output + ": " + std::strerror(EFBIG));
    expectPrevious("full disk");

    // An abort from the progress display.
    ui.fileAnswers.push_back(output);
    ui.abortAfterPolls = 0;
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ui.lastMessage().text, "Aborted.");
    expectPrevious("abort");
    ui.abortAfterPolls.reset();

    // An interrupt while the sounds load, and one that comes after the last block.
    PlayConstant(1, 1, 1000, 100, 50);
    std::atomic<bool> interrupt { true };
    MixOptions options;
    options.interrupt = &interrupt;
    ui.fileAnswers.push_back(output);
    EXPECT_FALSE(Mix(options));
    EXPECT_EQ(ui.lastMessage().text, "Aborted.");
    EXPECT_EQ(project->sounds[1].samples, nullptr); // stopped before loading
    expectPrevious("interrupt while loading");

    std::filesystem::remove(path("1.wav"));
    SetEvents(project->tracks[0], { MakeEvent(10, EventType::kVolume, 1024) });
    project->sounds[1].fileName = {};
    interrupt = false;
    struct LateInterrupt final : ProgressDisplay {
        std::atomic<bool>& flag;
        explicit LateInterrupt(std::atomic<bool>& f)
            : flag(f)
        {
        }
        void runProgress(ProgressSource& source) override
        {
            while (!source.done())
                std::this_thread::yield();
            flag = true; // the mix is complete, but not yet in place
        }
    } late(interrupt);
    ui.fileAnswers.push_back(output);
    EXPECT_FALSE(MixProject(*project, folder() + "/song.spj", ui, ui, late, options));
    EXPECT_EQ(ui.lastMessage().text, "Aborted.");
    expectPrevious("interrupt after the last block");
}

TEST_F(MixCommand, RefusesOutputsThatAreTheProjectOrOneOfItsSounds)
{
    PlayConstant(3, 0, 1000, 10, 10);
    const std::string song = folder() + "/song.spj";
    ASSERT_EQ(WriteProjectFile(*project, song), ProjectWriteResult::kOk);
    const auto songBytes = platform::ReadWholeFile(song);
    const auto soundBytes = platform::ReadWholeFile(path("3.wav"));
    std::filesystem::create_symlink(path("3.wav"), path("link.wav"));

    ui.fileAnswers = { song, path("3.wav"), path("link.wav") };
    for (const char* expected : { "the output is the project file itself",
             "the output is the file of sound 3", "the output is the file of sound 3" }) {
        EXPECT_FALSE(Mix());
        EXPECT_EQ(ui.lastMessage().text, "Failed in mixing.");
        EXPECT_NE(ui.lastMessage().detail.find(expected), std::string::npos)
            << ui.lastMessage().detail;
    }
    EXPECT_EQ(platform::ReadWholeFile(song), songBytes);
    EXPECT_EQ(platform::ReadWholeFile(path("3.wav")), soundBytes);
}

TEST_F(MixCommand, KeepsTheReplacedFilesModeAndWritesThroughLinks)
{
    SetEvents(project->tracks[0], { MakeEvent(10, EventType::kVolume, 1024) });
    {
        platform::File file;
        ASSERT_TRUE(file.createForWriting(output));
    }
    ASSERT_EQ(::chmod(output.c_str(), 0640), 0);
    ASSERT_TRUE(Mix());
    struct stat st { };
    ASSERT_EQ(::stat(output.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::filesystem::file_size(output), 44u + 20u);

    // A link to the output: the file it points to is replaced, the link stays.
    std::filesystem::create_directory(path("real"));
    const std::string real = path("real/out.wav");
    std::filesystem::rename(output, real);
    std::filesystem::create_symlink(real, output);
    SetEvents(project->tracks[0], { MakeEvent(20, EventType::kVolume, 1024) });
    ui.fileAnswers.push_back(output);
    ASSERT_TRUE(Mix());
    EXPECT_TRUE(std::filesystem::is_symlink(output));
    EXPECT_EQ(std::filesystem::file_size(real), 44u + 40u);
}

TEST_F(MixCommand, RefusesOutputsThatCannotBeWrittenBeforeRendering)
{
    SetEvents(project->tracks[0], { MakeEvent(100, EventType::kVolume, 1024) });
    ui.fileAnswers = { path("no-such-folder/out.wav"), path(std::string(300, 'n') + ".wav") };
    for (const int error : { ENOENT, ENAMETOOLONG }) {
        EXPECT_FALSE(Mix());
        EXPECT_EQ(ui.lastMessage().text, "Failed in mixing.");
        EXPECT_NE(ui.lastMessage().detail.find(std::strerror(error)), std::string::npos)
            << ui.lastMessage().detail;
    }
    EXPECT_EQ(ui.progressPolls, 0u); // nothing was rendered
}

TEST_F(MixCommand, RefusesAMixTooLongForWave)
{
    // 0x7FFFFFFF mono frames are 4 GiB of samples: past the 32-bit sizes of a WAVE file.
    SetEvents(project->tracks[0], { MakeEvent(0x7FFFFFFF, EventType::kVolume, 1024) });
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ui.lastMessage().text, Text(TextId::kMixTooLong));
    EXPECT_TRUE(ui.fileRequests.empty());
}

TEST_F(MixCommand, DocumentMixResolvesSoundsBesideTheProjectAndUpdatesViews)
{
    PlayConstant(4, 2, -700, 10, 10);
    const std::string projectPath = path("song.spj");
    ASSERT_EQ(WriteProjectFile(*project, projectPath), ProjectWriteResult::kOk);

    Ctest122Doc document;
    ASSERT_TRUE(document.openDocument(projectPath, ui, ui));
    vellisto::testing::CountingView view;
    document.addView(view);
    EXPECT_TRUE(MixDocument(document, ui, ui, ui));
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(DataSamples(output), std::vector<int>(10, -700));
    document.removeView(view);
}

} // namespace
