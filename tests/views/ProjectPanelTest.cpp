// SPDX-License-Identifier: MIT
#include "views/ProjectPanel.h"

#include "views/ViewTitle.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::views;

TEST(ProjectPanel, TwelveCellsWithTheirRectanglesTextsAndCommands)
{
    struct Expected {
        CellKind kind;
        PanelPoint topLeft;
        PanelPoint bottomRight;
        std::u16string text;
        std::uint32_t command;
    };
    const Expected expected[kProjectCellCount] = {
        { CellKind::kButton, { 0, 0 }, { 120, 20 }, u"Save", 0 },
        { CellKind::kButton, { 120, 0 }, { 240, 20 }, u"Mix", 1 },
        { CellKind::kButton, { 240, 0 }, { 360, 20 }, u"Preview", 2 },
        { CellKind::kButton, { 360, 0 }, { 480, 20 }, u"Clear Cache", 3 },
        { CellKind::kButton, { 0, 20 }, { 240, 40 }, u"Import Sound List", 4 },
        { CellKind::kButton, { 240, 20 }, { 480, 40 }, u"Import Track List", 5 },
        { CellKind::kButton, { 0, 60 }, { 160, 100 }, u"Settings", 6 },
        { CellKind::kText, { 180, 60 }, { 600, 100 },
            u"Open the settings window.\nYou can set properties of this project.", 0 },
        { CellKind::kButton, { 0, 100 }, { 160, 140 }, u"Sound List", 7 },
        { CellKind::kText, { 180, 100 }, { 600, 140 },
            u"Open the sound list window.\nYou can select WAVE files and set those details.", 0 },
        { CellKind::kButton, { 0, 140 }, { 160, 180 }, u"Track List", 8 },
        { CellKind::kText, { 180, 140 }, { 600, 180 },
            u"Open the track list window.\nYou can edit tracks and those events.", 0 },
    };
    const ProjectPanel panel;
    for (std::size_t i = 0; i < kProjectCellCount; ++i) {
        const PanelCell& cell = panel.cells()[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(testing::Message() << "cell " << i);
        EXPECT_EQ(cell.kind, e.kind);
        EXPECT_EQ(cell.state, ButtonState::kUp);
        EXPECT_EQ(cell.flags, 0u);
        EXPECT_EQ(cell.left, e.topLeft.x);
        EXPECT_EQ(cell.top, e.topLeft.y);
        EXPECT_EQ(cell.right, e.bottomRight.x);
        EXPECT_EQ(cell.bottom, e.bottomRight.y);
        EXPECT_EQ(cell.text, e.text);
        if (e.kind == CellKind::kButton) {
            EXPECT_EQ(cell.command, e.command);
            EXPECT_EQ(cell.colour1, ColourFromNumber(0xC0C0C0));
            EXPECT_EQ(cell.colour2, ColourFromNumber(0x808080));
        } else {
            EXPECT_EQ(cell.colour1, ColourFromNumber(0x000000));
            EXPECT_EQ(cell.colour2, ColourFromNumber(0xFFFFFF));
        }
        // Every cell lies inside the view's 640 x 320 document.
        EXPECT_LE(cell.right, kProjectViewWidth);
        EXPECT_LE(cell.bottom, kProjectViewHeight);
    }
}

TEST(ProjectPanel, PressesAtCellBordersChooseTheRightCommand)
{
    struct Case {
        PanelPoint point;
        std::optional<ProjectCommand> command;
    };
    const Case cases[] = {
        { { 0, 0 }, ProjectCommand::kSave },
        { { 119, 19 }, ProjectCommand::kSave },
        { { 120, 0 }, ProjectCommand::kMix },
        { { 359, 0 }, ProjectCommand::kPreview },
        { { 360, 19 }, ProjectCommand::kClearCache },
        { { 479, 0 }, ProjectCommand::kClearCache },
        { { 480, 0 }, std::nullopt },
        { { 0, 20 }, ProjectCommand::kImportSoundList },
        { { 239, 39 }, ProjectCommand::kImportSoundList },
        { { 240, 20 }, ProjectCommand::kImportTrackList },
        { { 0, 40 }, std::nullopt }, // the gap above the launch buttons
        { { 0, 59 }, std::nullopt },
        { { 0, 60 }, ProjectCommand::kOpenSettings },
        { { 159, 99 }, ProjectCommand::kOpenSettings },
        { { 160, 60 }, std::nullopt }, // between a button and its text
        { { 300, 80 }, std::nullopt }, // on a text cell
        { { 0, 100 }, ProjectCommand::kOpenSoundList },
        { { 0, 179 }, ProjectCommand::kOpenTrackList },
        { { 0, 180 }, std::nullopt },
    };
    for (const Case& c : cases) {
        ProjectPanel panel;
        auto& cells = panel.cells();
        panel.press().leftDown(cells, c.point, false);
        const PressChange change = panel.press().leftUp(cells, c.point);
        const std::optional<ProjectCommand> command
            = change.perform ? panel.commandOfCell(*change.perform) : std::nullopt;
        EXPECT_EQ(command, c.command) << c.point.x << ", " << c.point.y;
    }
}

TEST(ProjectPanel, MixPressedAndReleasedElsewhereStartsNothing)
{
    ProjectPanel panel;
    auto& cells = panel.cells();
    panel.press().leftDown(cells, { 130, 5 }, false);
    EXPECT_EQ(cells[1].state, ButtonState::kPressedInside);
    panel.press().move(cells, { 250, 5 }); // over Preview
    EXPECT_EQ(cells[1].state, ButtonState::kPressedOutside);
    EXPECT_EQ(cells[2].state, ButtonState::kUp);
    EXPECT_FALSE(panel.press().leftUp(cells, { 250, 5 }).perform);
}

TEST(ProjectPanel, KeysOpenViewsAndRunCommandsButNotWhilePressing)
{
    struct Case {
        char32_t key;
        std::optional<ProjectCommand> command;
    };
    const Case cases[] = {
        { U'M', ProjectCommand::kMix },
        { U'm', ProjectCommand::kMix },
        { U'P', ProjectCommand::kPreview },
        { U'C', ProjectCommand::kClearCache },
        { U'S', ProjectCommand::kOpenSoundList },
        { U's', ProjectCommand::kOpenSoundList },
        { U'T', ProjectCommand::kOpenTrackList },
        { U'E', std::nullopt }, // no key for the settings view
        { U'V', std::nullopt }, // nor for saving
        { U'I', std::nullopt },
        { U'1', std::nullopt },
        { U'\u00DF', std::nullopt },
    };
    ProjectPanel panel;
    for (const Case& c : cases)
        EXPECT_EQ(panel.key(c.key), c.command) << static_cast<std::uint32_t>(c.key);

    panel.press().rightDown();
    EXPECT_EQ(panel.key(U'M'), std::nullopt);
    panel.press().rightUp();
    EXPECT_EQ(panel.key(U'M'), ProjectCommand::kMix);
}

TEST(ProjectPanel, ViewsAreUpdatedAfterCommandsThatChangeWhatTheyShow)
{
    struct Case {
        ProjectCommand command;
        bool changed;
        bool refresh;
    };
    const Case cases[] = {
        { ProjectCommand::kSave, true, false },
        { ProjectCommand::kMix, false, true },
        { ProjectCommand::kPreview, false, true },
        { ProjectCommand::kClearCache, false, true },
        { ProjectCommand::kImportSoundList, false, false },
        { ProjectCommand::kImportSoundList, true, true },
        { ProjectCommand::kImportTrackList, false, false },
        { ProjectCommand::kImportTrackList, true, true },
        { ProjectCommand::kOpenSettings, true, false },
        { ProjectCommand::kOpenSoundList, true, false },
        { ProjectCommand::kOpenTrackList, true, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(RefreshesAllViews(c.command, c.changed), c.refresh)
            << static_cast<int>(c.command) << " changed " << c.changed;
    EXPECT_EQ(ProjectCommandOf(9), std::nullopt);
    EXPECT_EQ(ProjectCommandOf(0xFFFFFFFF), std::nullopt);
}

TEST(ViewTitle, FillsTheDocumentTitleLiterally)
{
    EXPECT_EQ(ProjectViewTitle(u"New Project1"), u"Project [New Project1]");
    EXPECT_EQ(ProjectViewTitle(u""), u"Project []");
    EXPECT_EQ(ProjectViewTitle(u"100%s %u"), u"Project [100%s %u]");
    EXPECT_EQ(FormatViewTitle(TextId::kSoundSettingsTitle, 1023, u"\u97F3.spj"),
        u"Sound Settings Sound 1023 [\u97F3.spj]");
    EXPECT_EQ(FormatViewTitle(TextId::kTrackEditTitle, 0, u"x"), u"Track Edit Track 0 [x]");
}
