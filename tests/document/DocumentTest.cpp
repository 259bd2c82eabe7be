// SPDX-License-Identifier: MIT
#include "document/Document.h"

#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "support/CountingView.h"
#include "support/ScriptedUserInterface.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>

using namespace vellisto;
using vellisto::testing::CountingView;
using vellisto::testing::ScriptedUserInterface;

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = std::filesystem::temp_directory_path()
            / (std::string("vellisto-doc-") + info->name() + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    // A document holding a new project at the given rate.
    void NewDocument(std::uint32_t rate = 44100)
    {
        CompatibilityChoice choice;
        choice.rateText = std::to_string(rate);
        ui.compatibilityAnswers.push_back(choice);
        ASSERT_TRUE(doc.newDocument(ui));
    }

    // Writes a project at the given rate, shaped by fill, and returns its path.
    template <typename Fill>
    std::string WriteProject(const std::string& name, std::uint32_t rate, Fill fill)
    {
        auto project = CreateProject();
        project->settings.outputFormat.samplesPerSecond = rate;
        CompleteOutputFormat(project->settings.outputFormat);
        fill(*project);
        const std::string path = PathOf(name);
        EXPECT_EQ(WriteProjectFile(*project, path), ProjectWriteResult::kOk);
        return path;
    }

    std::uint32_t UndoSteps() { return doc.undoHistory().cursor() - doc.undoHistory().oldest(); }

    std::filesystem::path m_folder;
    ScriptedUserInterface ui;
    Ctest122Doc doc;
};

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

void FillTrack(Track& track, std::initializer_list<std::uint32_t> times)
{
    ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(times.size())));
    std::uint32_t i = 0;
    for (std::uint32_t time : times)
        track.events[i++] = { kEventExists, time, 0, 0, 1024, 1u << 24 };
}

} // namespace

TEST(DocumentFileKind, ExtensionDecidesWithoutRegardToCase)
{
    EXPECT_EQ(FileKindOf("a/song.mid"), DocumentFileKind::kMidi);
    EXPECT_EQ(FileKindOf("SONG.MID"), DocumentFileKind::kMidi);
    EXPECT_EQ(FileKindOf("x.BmS"), DocumentFileKind::kBms);
    EXPECT_EQ(FileKindOf("x.bme"), DocumentFileKind::kBms);
    EXPECT_EQ(FileKindOf("x.midi"), DocumentFileKind::kProject);
    EXPECT_EQ(FileKindOf("mid"), DocumentFileKind::kProject);
    EXPECT_EQ(FileKindOf("x.spj"), DocumentFileKind::kProject);
}

TEST_F(DocumentTest, NewProjectTakesTheCompatibilityChoice)
{
    CompatibilityChoice choice;
    choice.compatibility = Compatibility::kVer12;
    choice.rateText = "22050";
    ui.compatibilityAnswers.push_back(choice);
    ASSERT_TRUE(doc.newDocument(ui));

    ASSERT_EQ(ui.compatibilityRequests.size(), 1u);
    EXPECT_EQ(ui.compatibilityRequests[0].first.rateText, "44100");
    EXPECT_EQ(ui.compatibilityRequests[0].first.bitsText, "16");
    EXPECT_EQ(ui.compatibilityRequests[0].first.channelsText, "2");
    EXPECT_FALSE(ui.compatibilityRequests[0].second);

    const ProjectSettings& settings = doc.project()->settings;
    EXPECT_EQ(settings.playingPriority, 0u);
    EXPECT_EQ(settings.stoppingRules, 0u);
    EXPECT_EQ(settings.changingStress, 0u);
    EXPECT_EQ(settings.changingPitch, 0u);
    EXPECT_EQ(doc.project()->conversionMode, 0u);
    EXPECT_EQ(settings.outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(settings.outputFormat.bitsPerSample, 16u);
    EXPECT_EQ(settings.outputFormat.channels, 2u);
    EXPECT_EQ(settings.outputFormat.blockAlign, 4u);
    EXPECT_EQ(settings.outputFormat.averageBytesPerSecond, 88200u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(doc.pathName().empty());
}

// A view that records what it was told, in order.
class RecordingView : public DocumentView {
public:
    std::vector<std::string> told;
    const Ctest122Doc* document = nullptr;
    void OnUpdate(UpdateHint hint) override
    {
        told.push_back("update " + std::to_string(static_cast<int>(hint.scope)) + " "
            + std::to_string(hint.index));
    }
    void OnDocumentStateChanged() override
    {
        told.push_back("state " + document->title() + (document->isModified() ? " *" : ""));
    }
};

TEST_F(DocumentTest, TitlesAndNotificationsFollowPathAndModifiedFlag)
{
    RecordingView view;
    view.document = &doc;
    doc.addView(view);
    NewDocument();
    Ctest122Doc second;
    ui.compatibilityAnswers.push_back(CompatibilityChoice {});
    ASSERT_TRUE(second.newDocument(ui));
    // New documents are numbered one after another across the program.
    const std::string first = doc.title();
    ASSERT_TRUE(first.starts_with("New Project")) << first;
    const int number = std::stoi(first.substr(11));
    EXPECT_EQ(second.title(), "New Project" + std::to_string(number + 1));

    view.told.clear();
    ASSERT_TRUE(RecordUndoStep(doc, ui, false)); // marks modified: told once
    ASSERT_TRUE(RecordUndoStep(doc, ui, true)); // already modified: nothing new
    doc.UpdateAllViews({ UpdateScope::kTrack, 7 });
    ASSERT_TRUE(doc.saveDocument(PathOf("song.spj"), ui));
    EXPECT_EQ(view.told,
        (std::vector<std::string> { "state " + first + " *", "update 3 7", "state " + first,
            "state song.spj", "update 0 0" }));
    doc.removeView(view);
}

TEST_F(DocumentTest, RateTextsOutsideTheRangeKeep44100)
{
    for (const char* text : { "0", "16777216", "fast", "0x5622" }) {
        CompatibilityChoice choice;
        choice.rateText = text;
        ui.compatibilityAnswers.push_back(choice);
        ASSERT_TRUE(doc.newDocument(ui));
        const std::uint32_t expected = std::string(text) == "0x5622" ? 22050 : 44100;
        EXPECT_EQ(doc.project()->settings.outputFormat.samplesPerSecond, expected) << text;
    }
}

TEST_F(DocumentTest, CancelledNewLeavesNoProject)
{
    EXPECT_FALSE(doc.newDocument(ui));
    EXPECT_EQ(doc.project(), nullptr);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, SaveRefusesScoreNames)
{
    NewDocument();
    EXPECT_FALSE(doc.saveDocument(PathOf("song.mid"), ui));
    EXPECT_FALSE(doc.saveDocument(PathOf("song.MID"), ui));
    EXPECT_FALSE(doc.saveDocument(PathOf("song.bms"), ui));
    EXPECT_FALSE(doc.saveDocument(PathOf("song.Bme"), ui));
    const std::string midi = "You cannot save as a MIDI file. Please save as a project file.";
    const std::string bms = "You cannot save as a BM98 file. Please save as a project file.";
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string> { midi, midi, bms, bms }));
    for (const auto& message : ui.messages)
        EXPECT_EQ(message.caption, TextId::kError);
    EXPECT_TRUE(std::filesystem::is_empty(m_folder));
}

TEST_F(DocumentTest, SaveThenOpenKeepsTheProject)
{
    NewDocument(22050);
    CountingView view;
    doc.addView(view);
    Project& project = *doc.project();
    project.settings.masterVolume = 2048;
    project.sounds[5].fileName[0] = u'a';
    project.sounds[5].fileName[3] = u'z'; // a tail after the terminator
    FillTrack(project.tracks[2], { 10, 20 });
    RecordUndoStep(doc, ui, false);
    ASSERT_TRUE(doc.isModified());

    const std::string path = PathOf("song.spj");
    ASSERT_TRUE(doc.saveDocument(path, ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.pathName(), path);
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(project.sounds[5].fileName[3], 0);

    Ctest122Doc reopened;
    ASSERT_TRUE(reopened.openDocument(path, ui, ui));
    EXPECT_EQ(reopened.pathName(), path);
    EXPECT_FALSE(reopened.isModified());
    EXPECT_FALSE(reopened.canUndo());
    EXPECT_EQ(reopened.project()->settings.masterVolume, 2048u);
    EXPECT_EQ(reopened.project()->settings.outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(reopened.project()->sounds[5].fileName[0], u'a');
    EXPECT_EQ(reopened.project()->tracks[2].count, 2u);
}

TEST_F(DocumentTest, FailedSaveKeepsThePreviousFile)
{
    NewDocument();
    FillTrack(doc.project()->tracks[0], { 1, 2, 3 });
    const std::filesystem::path target = m_folder / "song.spj";
    {
        std::ofstream(target, std::ios::binary) << "previous contents";
    }
    doc.setModified(true);

    // A full disk: every write past 64 bytes fails.
    struct rlimit saved { };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool savedOk = doc.saveDocument(target.string(), ui);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(savedOk);
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string> { "An unknown error occured." }));
    EXPECT_EQ(ReadAll(target), "previous contents");
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.pathName().empty());
    // Nothing but the previous file is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder), {}), 1);
}

TEST_F(DocumentTest, SaveIntoAMissingFolderFails)
{
    NewDocument();
    EXPECT_FALSE(doc.saveDocument(PathOf("missing/song.spj"), ui));
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string> { "Failed in saving." }));
}

TEST_F(DocumentTest, FailedOpenKeepsTheCurrentProject)
{
    NewDocument();
    doc.project()->settings.masterVolume = 7;
    {
        std::ofstream(m_folder / "junk.spj", std::ios::binary) << "not a project";
    }
    EXPECT_FALSE(doc.openDocument(PathOf("junk.spj"), ui, ui));
    EXPECT_FALSE(doc.openDocument(PathOf("absent.spj"), ui, ui));
    EXPECT_EQ(
        ui.messageTexts(), (std::vector<std::string>(2, "Failed in loading a project file.")));
    EXPECT_EQ(doc.project()->settings.masterVolume, 7u);
    EXPECT_TRUE(doc.pathName().empty());
}

TEST_F(DocumentTest, OpensScoresThroughTheirImporters)
{
    // One note at tick 480 of 480 per quarter: half a second, 11025 frames at 22050 Hz.
    const char midi[] = "MThd\0\0\0\6\0\0\0\1\1\xE0"
                        "MTrk\0\0\0\5\x83\x60\x90\x3C\x40";
    std::ofstream(m_folder / "song.mid", std::ios::binary).write(midi, sizeof midi - 1);
    std::ofstream(m_folder / "Chart.BME", std::ios::binary) << "#WAV01 kick.wav\r\n#00111:01\r\n";
    CompatibilityChoice choice;
    choice.compatibility = Compatibility::kDrum;
    choice.rateText = "22050";
    ui.compatibilityAnswers = { choice, choice };

    ASSERT_TRUE(doc.openDocument(PathOf("song.mid"), ui, ui));
    const Project& song = *doc.project();
    ASSERT_EQ(song.tracks[0].count, 1u);
    EXPECT_EQ(song.tracks[0].events[0].time, 11025u);
    EXPECT_EQ(song.tracks[0].events[0].data1, 60u);
    EXPECT_EQ(doc.pathName(), PathOf("song.mid"));

    ASSERT_TRUE(doc.openDocument(PathOf("Chart.BME"), ui, ui));
    const Project& chart = *doc.project();
    EXPECT_EQ(platform::Utf16ToUtf8({ chart.sounds[1].fileName.data(), 9 }), "\\kick.wav");
    EXPECT_EQ(platform::Utf16ToUtf8(
                  { chart.settings.basePath.data(), NameLength(chart.settings.basePath) }),
        m_folder.string());
    ASSERT_EQ(chart.tracks[1].count, 2u); // the note, then All Stop
    EXPECT_EQ(chart.tracks[1].events[0].time, 44100u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentTest, ChartsFollowTheChosenRulesAndListWhatTheStandardRulesSkipped)
{
    // Base-36 sound numbers from SG (1024, beyond the table) to T3 (1095): 72
    // skipped definitions, of which the reader lists 64 and counts the rest.
    const auto Base36 = [](std::uint32_t n) {
        constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        return std::string { kDigits[n / 36], kDigits[n % 36] };
    };
    std::string chart = "#WAV0Z kick.wav\r\n#00111:0Z\r\n";
    for (std::uint32_t id = 1024; id < 1024 + 72; ++id)
        chart += "#WAV" + Base36(id) + " x.wav\r\n";
    std::ofstream(m_folder / "ids.bms", std::ios::binary) << chart;
    ui.compatibilityAnswers = { CompatibilityChoice {}, CompatibilityChoice {} };

    // As the program always read charts: "0Z" is no sound number, and nothing is reported.
    ASSERT_TRUE(doc.openDocument(PathOf("ids.bms"), ui, ui));
    EXPECT_TRUE(doc.project()->sounds[35].empty());
    EXPECT_TRUE(ui.messages.empty());

    ImportOptions standard;
    standard.bms.rules = import::BmsRules::kStandard;
    ASSERT_TRUE(doc.openDocument(PathOf("ids.bms"), ui, ui, standard));
    EXPECT_FALSE(doc.project()->sounds[35].empty());
    EXPECT_EQ(doc.project()->tracks[1].count, 2u); // the note, then All Stop
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, TextId::kInformation);
    EXPECT_EQ(ui.messages[0].text, kChartPartsSkipped);
    // Ten lines of the list, then how many more there are: 54 listed and 8 only counted.
    std::vector<std::string> lines;
    std::istringstream detail(ui.messages[0].detail);
    for (std::string line; std::getline(detail, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "byte 28: sound SG is beyond the 1024-sound table; skipped");
    EXPECT_EQ(
        lines[9].substr(lines[9].find(':')), ": sound SP is beyond the 1024-sound table; skipped");
    EXPECT_EQ(lines[10], "and 62 more");
}

TEST_F(DocumentTest, ScoresThatFailToImportShowTheirMessage)
{
    std::ofstream(m_folder / "bad.mid", std::ios::binary) << "MThd";
    ui.compatibilityAnswers = { CompatibilityChoice {}, CompatibilityChoice {} };
    EXPECT_FALSE(doc.openDocument(PathOf("bad.mid"), ui, ui));
    EXPECT_FALSE(doc.openDocument(PathOf("absent.bms"), ui, ui));
    EXPECT_EQ(ui.messageTexts(),
        (std::vector<std::string> {
            "Failed in loading a MIDI file.", "Failed in loading a BM98 file." }));
    EXPECT_EQ(doc.project(), nullptr);
}

TEST_F(DocumentTest, CancelledChoiceWhileOpeningAScoreShowsNothing)
{
    EXPECT_FALSE(doc.openDocument(PathOf("song.mid"), ui, ui));
    EXPECT_FALSE(doc.openDocument(PathOf("song.bme"), ui, ui));
    EXPECT_EQ(ui.compatibilityRequests.size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(doc.project(), nullptr);
}

TEST_F(DocumentTest, ImportSoundListRescalesAfterBothQuestions)
{
    const auto kit = WriteProject("kit.spj", 22050, [](Project& p) {
        p.sounds[3].fileName[0] = u'k';
        p.sounds[3].loopBegin = 1000;
        p.sounds[3].loopEnd = kNoLoop;
        p.sounds[3].releaseTime = 50;
        p.sounds[3].volume = 512;
    });
    NewDocument(44100);
    Project& project = *doc.project();
    project.sounds[9].fileName[0] = u'x';
    project.sounds[9].samples = AllocateSampleBlock(32);
    project.sounds[9].sampleBytes = 32;
    FillTrack(project.tracks[0], { 5 });

    ui.fileAnswers.push_back(kit);
    ASSERT_TRUE(doc.ImportSoundList(ui, ui));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(
        ui.messages[0].text, "All of the current sound settings will be lost. Do you continue?");
    EXPECT_EQ(ui.messages[1].text,
        "The output format of the imported project is different. Do you continue?");
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.caption, TextId::kConfirm);
        EXPECT_EQ(message.buttons, MessageButtons::kOkCancel);
    }
    EXPECT_EQ(ui.fileRequests.at(0).filters,
        (std::vector<FileFilter> {
            { "Project files (*.spj)", { "*.spj" } }, { "All files (*.*)", { "*.*" } } }));

    EXPECT_EQ(project.sounds[3].fileName[0], u'k');
    EXPECT_EQ(project.sounds[3].loopBegin, 2000u);
    EXPECT_EQ(project.sounds[3].loopEnd, kNoLoop);
    EXPECT_EQ(project.sounds[3].releaseTime, 100u);
    EXPECT_EQ(project.sounds[3].volume, 512u);
    EXPECT_TRUE(project.sounds[9].empty());
    EXPECT_EQ(project.sounds[9].samples, nullptr);
    EXPECT_EQ(project.tracks[0].count, 1u);
    EXPECT_EQ(project.settings.outputFormat.samplesPerSecond, 44100u);

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.project()->sounds[9].fileName[0], u'x');
}

TEST_F(DocumentTest, ImportChangesNothingUntilBothQuestionsAreAnswered)
{
    const auto kit
        = WriteProject("kit.spj", 22050, [](Project& p) { p.sounds[0].fileName[0] = u'k'; });
    NewDocument(44100);
    ui.fileAnswers = { kit, kit, std::nullopt };
    ui.messageAnswers = { MessageAnswer::kCancel, MessageAnswer::kOk, MessageAnswer::kCancel };
    EXPECT_FALSE(doc.ImportSoundList(ui, ui));
    EXPECT_FALSE(doc.ImportTrackList(ui, ui));
    EXPECT_FALSE(doc.ImportSoundList(ui, ui)); // no file chosen
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_TRUE(doc.project()->sounds[0].empty());
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(DocumentTest, SameFormatAsksOnlyTheFirstQuestion)
{
    const auto other
        = WriteProject("other.spj", 44100, [](Project& p) { FillTrack(p.tracks[1], { 7 }); });
    NewDocument(44100);
    ui.fileAnswers.push_back(other);
    ASSERT_TRUE(doc.ImportTrackList(ui, ui));
    EXPECT_EQ(ui.messageTexts(),
        (std::vector<std::string> { "All of the current events will be lost. Do you continue?" }));
    EXPECT_EQ(doc.project()->tracks[1].count, 1u);
}

TEST_F(DocumentTest, ImportTrackListRescalesTimesAndKeepsFlags)
{
    const auto other = WriteProject("other.spj", 44100, [](Project& p) {
        FillTrack(p.tracks[4], { 3, 44100, 0x7FFFFFFF });
    });
    NewDocument(96000);
    doc.project()->tracks[4].flags = kTrackMuted;
    FillTrack(doc.project()->tracks[5], { 1 });
    ui.fileAnswers.push_back(other);
    ASSERT_TRUE(doc.ImportTrackList(ui, ui));
    const Track& track = doc.project()->tracks[4];
    ASSERT_EQ(track.count, 3u);
    EXPECT_EQ(track.events[0].time, 6u); // 3 x 96000 / 44100 = 6.53
    EXPECT_EQ(track.events[1].time, 96000u);
    EXPECT_EQ(track.events[2].time, 0x7FFFFFFFu);
    EXPECT_EQ(track.flags, kTrackMuted);
    EXPECT_EQ(doc.project()->tracks[5].count, 0u);
}

TEST_F(DocumentTest, UnreadableImportIsReported)
{
    NewDocument();
    ui.fileAnswers.push_back(PathOf("absent.spj"));
    EXPECT_FALSE(doc.ImportTrackList(ui, ui));
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string> { "Failed in loading." }));
}

TEST_F(DocumentTest, ChangeOutputFormatRescalesEverything)
{
    NewDocument(44100);
    Project& project = *doc.project();
    project.sounds[1].loopBegin = 441;
    project.sounds[1].loopEnd = kNoLoop;
    project.sounds[1].samples = AllocateSampleBlock(8);
    project.sounds[1].sampleBytes = 8;
    FillTrack(project.tracks[0], { 44100, 88200 });

    OutputFormat format = project.settings.outputFormat;
    format.samplesPerSecond = 22050;
    format.channels = 1;
    CompleteOutputFormat(format);
    ASSERT_TRUE(doc.ChangeOutputFormat(format));
    EXPECT_EQ(project.sounds[1].loopBegin, 220u);
    EXPECT_EQ(project.sounds[1].loopEnd, 0x7FFFFFFFu);
    EXPECT_EQ(project.sounds[1].samples, nullptr);
    EXPECT_EQ(project.tracks[0].events[0].time, 22050u);
    EXPECT_EQ(project.tracks[0].events[1].time, 44100u);
    EXPECT_EQ(project.settings.outputFormat.channels, 1u);
    EXPECT_EQ(project.settings.outputFormat.averageBytesPerSecond, 44100u);

    for (std::uint32_t rate : { 0u, 16777216u }) {
        OutputFormat bad = format;
        bad.samplesPerSecond = rate;
        EXPECT_FALSE(doc.ChangeOutputFormat(bad));
        EXPECT_EQ(project.settings.outputFormat.samplesPerSecond, 22050u);
        EXPECT_EQ(project.tracks[0].events[1].time, 44100u);
    }
}
