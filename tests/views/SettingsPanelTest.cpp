// SPDX-License-Identifier: MIT
#include "views/SettingsPanel.h"

#include "audio/AudioTestUtil.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "support/CountingView.h"
#include "support/NewDocument.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::testing::CountingView;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::ScriptedUserInterface;
using vellisto::testing::UndoSteps;

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeNewDocument(doc, ui));
        doc.addView(view);
        panel.update(&settings());
    }
    void TearDown() override { doc.removeView(view); }

    ProjectSettings& settings() { return doc.project()->settings; }

    SettingsOutcome Run(SettingsItem item)
    {
        const SettingsOutcome outcome = RunSettingsItem(item, doc, ui, ui, ui, panel.normalized());
        panel.update(&settings());
        return outcome;
    }
    std::u16string Line(SettingsItem item) const
    {
        return panel.cells()[static_cast<std::size_t>(item)].text;
    }
    // Types text into the next "Input" dialog and runs the item.
    void Enter(SettingsItem item, const char* text)
    {
        ui.inputAnswers.push_back(std::string(text));
        Run(item);
    }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
    CountingView view;
    SettingsPanel panel;
};

} // namespace

TEST_F(Settings, FifteenCellsWithTheLinesOfANewProject)
{
    struct Expected {
        CellKind kind;
        std::int32_t left, top, right, bottom;
        std::u16string text;
    };
    const Expected expected[kSettingsCellCount] = {
        { CellKind::kButton, 0, 0, 100, 20, u"Close" },
        { CellKind::kButton, 100, 0, 200, 20, u"Default" },
        { CellKind::kText, 0, 20, 640, 40, u"Output format           44100 Hz 16 bits 2 ch" },
        { CellKind::kText, 0, 40, 640, 60, u"Buffer length           4096      " },
        { CellKind::kText, 0, 60, 640, 80, u"Mixing interpolation    Linear" },
        { CellKind::kText, 0, 80, 640, 100, u"Loading interpolation   Use sinc" },
        { CellKind::kText, 0, 100, 640, 120, u"Sound count per track   16        " },
        { CellKind::kText, 0, 120, 640, 140, u"Playing priority        Play newer" },
        { CellKind::kText, 0, 140, 640, 160, u"Stopping rules          By ID and by pitch" },
        { CellKind::kText, 0, 160, 640, 180, u"Changing stress         Enabled" },
        { CellKind::kText, 0, 180, 640, 200, u"Changing pitch          Enabled" },
        { CellKind::kText, 0, 200, 640, 220, u"Master volume           1.0000" },
        { CellKind::kText, 0, 220, 640, 240, u"Master balance          0.0000" },
        { CellKind::kButton, 0, 240, 160, 260, u"Refer to Base Path" },
        { CellKind::kText, 0, 260, 640, 280,
            u"Base path               Default (where the project file is)" },
    };
    for (std::size_t i = 0; i < kSettingsCellCount; ++i) {
        SCOPED_TRACE(i);
        const PanelCell& cell = panel.cells()[i];
        const Expected& e = expected[i];
        EXPECT_EQ(cell.kind, e.kind);
        EXPECT_EQ(cell.left, e.left);
        EXPECT_EQ(cell.top, e.top);
        EXPECT_EQ(cell.right, e.right);
        EXPECT_EQ(cell.bottom, e.bottom);
        EXPECT_EQ(cell.text, e.text);
        EXPECT_EQ(cell.colour1, ColourFromNumber(e.kind == CellKind::kButton ? 0xC0C0C0 : 0));
        EXPECT_EQ(
            cell.colour2, ColourFromNumber(e.kind == CellKind::kButton ? 0x808080 : 0xFFFFFF));
        EXPECT_EQ(panel.itemOfCell(i), static_cast<SettingsItem>(i));
    }
    EXPECT_EQ(SettingsTitle(u"New Project1"), u"Settings [New Project1]");
}

TEST_F(Settings, OtherValuesShowTheirNamesOrNumbers)
{
    ProjectSettings& s = settings();
    s.mixingInterpolation = 0;
    s.loadingInterpolation = 2;
    s.playingPriority = 0;
    s.stoppingRules = 0;
    s.changingStress = 0;
    s.changingPitch = 7; // any nonzero word is on
    s.masterBalance = 1024;
    StoreNameText(s.basePath, u"C:\\kits");
    panel.update(&s);
    EXPECT_EQ(Line(SettingsItem::kMixingInterpolation), u"Mixing interpolation    None");
    EXPECT_EQ(Line(SettingsItem::kLoadingInterpolation),
        u"Loading interpolation   Use sinc (low resolution)");
    EXPECT_EQ(Line(SettingsItem::kPlayingPriority), u"Playing priority        Play older");
    EXPECT_EQ(Line(SettingsItem::kStoppingRules), u"Stopping rules          By ID");
    EXPECT_EQ(Line(SettingsItem::kChangingStress), u"Changing stress         Disabled");
    EXPECT_EQ(Line(SettingsItem::kChangingPitch), u"Changing pitch          Enabled");
    EXPECT_EQ(Line(SettingsItem::kMasterBalance), u"Master balance          1.0000");
    EXPECT_EQ(Line(SettingsItem::kBasePath), u"Base path               C:\\kits");
    // Only a damaged file holds an interpolation without a name: its number shows.
    s.mixingInterpolation = 9;
    EXPECT_EQ(SettingsLineText(SettingsItem::kMixingInterpolation, s), "Mixing interpolation    9");
}

TEST_F(Settings, FourClicksOnMixingInterpolationAreUndoneInOneStep)
{
    const char16_t* names[] = { u"Use sinc (low resolution)", u"Use sinc", u"None", u"Linear" };
    for (const char16_t* name : names) {
        Run(SettingsItem::kMixingInterpolation);
        EXPECT_EQ(Line(SettingsItem::kMixingInterpolation),
            std::u16string(u"Mixing interpolation    ") + name);
    }
    EXPECT_EQ(view.updates, 4);
    EXPECT_EQ(UndoSteps(doc), 1u);
    Run(SettingsItem::kMixingInterpolation);
    ASSERT_TRUE(doc.Undo());
    panel.update(&settings());
    EXPECT_EQ(Line(SettingsItem::kMixingInterpolation), u"Mixing interpolation    Linear");
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(Settings, LoadingInterpolationClearsTheLoadedSoundsEachTime)
{
    for (int i = 0; i < 2; ++i) {
        test::SetSamples(doc.project()->sounds[0], settings().outputFormat, { 5, 6 });
        Run(SettingsItem::kLoadingInterpolation);
        EXPECT_EQ(doc.project()->sounds[0].samples, nullptr);
    }
}

TEST_F(Settings, DefaultOn22050MonoKeepsTheFormat)
{
    ui.compatibilityAnswers.push_back(CompatibilityChoice { {}, "22050", "16", "1" });
    Run(SettingsItem::kOutputFormat);
    Run(SettingsItem::kMixingInterpolation);
    Enter(SettingsItem::kBufferLength, "8192");
    Enter(SettingsItem::kBasePath, "/kits");
    Run(SettingsItem::kDefault);
    EXPECT_EQ(Line(SettingsItem::kOutputFormat), u"Output format           22050 Hz 16 bits 1 ch");
    EXPECT_EQ(Line(SettingsItem::kBufferLength), u"Buffer length           4096      ");
    EXPECT_EQ(Line(SettingsItem::kMixingInterpolation), u"Mixing interpolation    Linear");
    EXPECT_EQ(Line(SettingsItem::kBasePath),
        u"Base path               Default (where the project file is)");
}

TEST_F(Settings, OutputFormatOpensTheFormatOnlyDialogOnTheCurrentValues)
{
    ui.compatibilityAnswers.push_back(CompatibilityChoice { {}, "0x5622", "16", "1" });
    Run(SettingsItem::kOutputFormat);
    ASSERT_EQ(ui.compatibilityRequests.size(), 2u); // the first made the document
    const auto& [initial, formatOnly] = ui.compatibilityRequests[1];
    EXPECT_TRUE(formatOnly);
    EXPECT_EQ(initial.rateText, "44100");
    EXPECT_EQ(initial.bitsText, "16");
    EXPECT_EQ(initial.channelsText, "2");
    EXPECT_EQ(settings().outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(settings().outputFormat.channels, 1u);
    EXPECT_EQ(UndoSteps(doc), 1u);

    // Cancel, a field without a number and a refused rate change nothing.
    Run(SettingsItem::kOutputFormat);
    ui.compatibilityAnswers.push_back(CompatibilityChoice { {}, "fast", "16", "1" });
    Run(SettingsItem::kOutputFormat);
    ui.compatibilityAnswers.push_back(CompatibilityChoice { {}, "0", "16", "1" });
    Run(SettingsItem::kOutputFormat);
    EXPECT_EQ(settings().outputFormat.samplesPerSecond, 22050u);
    EXPECT_EQ(UndoSteps(doc), 1u);
}

TEST_F(Settings, TypedNumbersAreParsedAndValidated)
{
    struct Case {
        SettingsItem item;
        const char* typed;
        SettingsItem shown;
        std::u16string line;
    };
    const Case cases[] = {
        { SettingsItem::kBufferLength, "5000", SettingsItem::kBufferLength,
            u"Buffer length           4096      " },
        { SettingsItem::kBufferLength, "0x2000", SettingsItem::kBufferLength,
            u"Buffer length           8192      " },
        { SettingsItem::kSoundCountPerTrack, "0", SettingsItem::kSoundCountPerTrack,
            u"Sound count per track   0         " },
        { SettingsItem::kMasterVolume, "2", SettingsItem::kMasterVolume,
            u"Master volume           0.0020" },
        { SettingsItem::kMasterVolume, "2.0", SettingsItem::kMasterVolume,
            u"Master volume           2.0000" },
        { SettingsItem::kMasterBalance, "1.5", SettingsItem::kMasterBalance,
            u"Master balance          1.0000" },
        { SettingsItem::kMasterBalance, "-0.5", SettingsItem::kMasterBalance,
            u"Master balance          -0.5000" },
    };
    for (const Case& c : cases) {
        Enter(c.item, c.typed);
        EXPECT_EQ(Line(c.shown), c.line) << c.typed;
    }
    EXPECT_EQ(settings().masterVolume, 2048u);
    EXPECT_EQ(settings().masterBalance, 256u);
    EXPECT_EQ(UndoSteps(doc), 7u);
}

TEST_F(Settings, InputDialogsOpenOnTheShownValues)
{
    settings().masterVolume = 512;
    settings().masterBalance = 768;
    Run(SettingsItem::kBufferLength);
    Run(SettingsItem::kSoundCountPerTrack);
    Run(SettingsItem::kMasterVolume);
    Run(SettingsItem::kMasterBalance);
    panel.toggleNormalized();
    Run(SettingsItem::kMasterVolume);
    Run(SettingsItem::kMasterBalance);
    StoreNameText(settings().basePath, u"/k\u00E4ts");
    Run(SettingsItem::kBasePath);
    const std::vector<std::string> expected { "4096", "16", "0.500000", "0.500000", "512", "768",
        "/k\xC3\xA4ts" };
    EXPECT_EQ(ui.inputRequests, expected);
    // Every dialog was cancelled: nothing recorded, nothing updated.
    EXPECT_EQ(UndoSteps(doc), 0u);
    EXPECT_EQ(view.updates, 0);
}

TEST_F(Settings, UnreadableTextChangesNothing)
{
    for (SettingsItem item : { SettingsItem::kBufferLength, SettingsItem::kSoundCountPerTrack,
             SettingsItem::kMasterVolume, SettingsItem::kMasterBalance })
        Enter(item, "loud");
    EXPECT_EQ(UndoSteps(doc), 0u);
    EXPECT_EQ(settings().bufferLength, 4096u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Settings, BasePathFromTheFolderBrowserOrTyped)
{
    test::SetSamples(doc.project()->sounds[0], settings().outputFormat, { 5, 6 });
    ui.folderAnswers.push_back(std::string("/home/someone/kits"));
    Run(SettingsItem::kReferToBasePath);
    ASSERT_EQ(ui.folderRequests.size(), 1u);
    EXPECT_EQ(ui.folderRequests[0].first,
        "Please select a directory that is refered or contains sound files.");
    EXPECT_EQ(Line(SettingsItem::kBasePath), u"Base path               /home/someone/kits");
    EXPECT_EQ(doc.project()->sounds[0].samples, nullptr);

    // The browser starts at the current base path; Cancel changes nothing.
    Run(SettingsItem::kReferToBasePath);
    EXPECT_EQ(ui.folderRequests[1].second, "/home/someone/kits");
    EXPECT_EQ(UndoSteps(doc), 1u);

    // A typed path longer than the field is cut to 259 characters.
    Enter(SettingsItem::kBasePath, std::string(300, 'p').c_str());
    EXPECT_EQ(NameText(settings().basePath), std::u16string(259, u'p'));
}

TEST_F(Settings, CloseAndThePressRules)
{
    EXPECT_EQ(Run(SettingsItem::kClose), SettingsOutcome::kClose);
    EXPECT_EQ(view.updates, 0);

    // A line is pressed like a button; released outside, nothing runs.
    PanelPress& press = panel.press();
    const auto down = press.leftDownOnAnyCell(panel.cells(), { 10, 65 }, false);
    EXPECT_EQ(down.redraw, std::size_t { 4 });
    EXPECT_EQ(press.move(panel.cells(), { 10, 85 }).redraw, std::size_t { 4 });
    EXPECT_EQ(panel.cells()[4].state, ButtonState::kPressedOutside);
    EXPECT_FALSE(press.leftUp(panel.cells(), { 10, 85 }).perform);
    // Released inside, the line's item runs.
    press.leftDownOnAnyCell(panel.cells(), { 639, 60 }, false);
    EXPECT_EQ(press.leftUp(panel.cells(), { 0, 79 }).perform, std::size_t { 4 });
    // A right press blocks the left button until the right release.
    EXPECT_TRUE(press.rightDown());
    EXPECT_FALSE(press.leftDownOnAnyCell(panel.cells(), { 10, 65 }, false).redraw);
    EXPECT_TRUE(press.rightUp());
    // Between the buttons and past the lines nothing is pressed.
    EXPECT_FALSE(press.leftDownOnAnyCell(panel.cells(), { 200, 10 }, false).redraw);
    press.leftUp(panel.cells(), { 200, 10 });
    EXPECT_FALSE(press.leftDownOnAnyCell(panel.cells(), { 10, 280 }, false).redraw);
}
