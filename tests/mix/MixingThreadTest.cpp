// SPDX-License-Identifier: MIT
#include "mix/MixingThread.h"

#include "audio/SincTables.h"
#include "engine/Mixer.h"
#include "mix/MixTestUtil.h"
#include "model/Document.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "support/CountingView.h"
#include "support/ScriptedUserInterface.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::mix;
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
        ui.fileAnswers.push_back(U16(output));
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
        return MixProject(*project, U16(folder() + "/song.spj"), ui, options);
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
    EXPECT_EQ(
        ui.fileFilters, (std::vector<std::string> { std::string(Text(TextId::kWaveFileFilter)) }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
        "Finished mixing.\nTime to mix: 2.500 seconds\nMixing speed: 4.0000 times");
    EXPECT_EQ(ui.messages[0].caption, TextId::kInformation);
    EXPECT_EQ(std::filesystem::file_size(output), 44u + 441000u * 2);
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
    EXPECT_TRUE(ui.fileFilters.empty());
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
        = [&reported](std::uint32_t id, const SoundFailure&) { reported.push_back(id); };
    ui.fileAnswers.push_back(U16(output));
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
    // The file is cut short.
    EXPECT_LT(std::filesystem::file_size(output), 44u + 44100u * 600 * 2);
}

TEST_F(MixCommand, FailedWriteIsReported)
{
    ui.fileAnswers = { U16(path("no-such-folder/out.wav")) };
    SetEvents(project->tracks[0], { MakeEvent(100, EventType::kVolume, 1024) });
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ui.lastMessage().text, "Failed in mixing.");
    EXPECT_EQ(ui.lastMessage().caption, TextId::kError);
}

TEST_F(MixCommand, RefusesAMixTooLongForWave)
{
    // 0x7FFFFFFF mono frames are 4 GiB of samples: past the 32-bit sizes of a WAVE file.
    SetEvents(project->tracks[0], { MakeEvent(0x7FFFFFFF, EventType::kVolume, 1024) });
    EXPECT_FALSE(Mix());
    EXPECT_EQ(ui.lastMessage().text, Text(TextId::kMixTooLong));
    EXPECT_TRUE(ui.fileFilters.empty());
}

TEST_F(MixCommand, DocumentMixResolvesSoundsBesideTheProjectAndUpdatesViews)
{
    PlayConstant(4, 2, -700, 10, 10);
    const std::string projectPath = path("song.spj");
    ASSERT_EQ(WriteProjectFile(*project, projectPath), ProjectWriteResult::kOk);

    Ctest122Doc document;
    ASSERT_TRUE(document.openDocument(U16(projectPath), ui));
    vellisto::testing::CountingView view;
    document.addView(view);
    EXPECT_TRUE(MixDocument(document, ui));
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(DataSamples(output), std::vector<int>(10, -700));
    document.removeView(view);
}

TEST(MixingThread, QuitsWithoutAMixAndRendersOncePerLife)
{
    CMixingThread idle;
    ASSERT_TRUE(idle.create());
    idle.quit();
    EXPECT_FALSE(idle.running());

    auto project = CreateProject();
    project->settings.outputFormat = PcmFormat(1, 44100, 16);
    ASSERT_TRUE(engine::PrepareMix(*project, false));
    engine::ProgressRecord record;
    const std::string path = (std::filesystem::temp_directory_path()
        / ("vellisto-thread-" + std::to_string(::getpid()) + ".wav"))
                                 .string();
    CMixingThread worker;
    ASSERT_TRUE(worker.create());
    worker.postStart(*project, path, record);
    worker.postStart(*project, path + ".second", record); // ignored: one mix per life
    worker.quit();
    EXPECT_EQ(record.done.load(), 1u);
    EXPECT_EQ(record.result.load(), 1u);
    EXPECT_EQ(std::filesystem::file_size(path), 44u);
    EXPECT_FALSE(std::filesystem::exists(path + ".second"));
    std::filesystem::remove(path);
}

} // namespace
