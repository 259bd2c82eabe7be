// SPDX-License-Identifier: MIT
#include "views/TrackEditPanel.h"

#include "editing/EditingFixture.h"

#include <limits>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::editing::EventField;
using vellisto::editing::FieldFormat;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;
using B = std::vector<bool>;

PanelPoint Marker(std::uint32_t row) { return { 10, static_cast<std::int32_t>(row) * 20 + 10 }; }
PanelPoint Cell(std::uint32_t row, std::uint32_t column)
{
    return { 50 + static_cast<std::int32_t>(column - 1) * 110 + 55,
        static_cast<std::int32_t>(row) * 20 + 10 };
}

} // namespace

TEST(TrackEditTexts, RowsShowEachTypeInItsColumnsFormats)
{
    struct Case {
        Event event;
        FieldFormat format;
        std::array<const char*, 5> texts;
        std::array<bool, 5> grey;
    };
    const FieldFormat normal;
    const FieldFormat raw { true, false, 44100 };
    constexpr std::uint32_t kX = kEventExists;
    const Case cases[] = {
        { { kX, 0, 0, 0, 1024, 1u << 24 }, normal,
            { "00:00.000", "Play", "ID   0", "Vol  1.000000", "Pit  1.000000" }, {} },
        { { kX, 66150, 0, 12, 1, 1u << 25 }, raw,
            { "    66150", "Play", "ID   12", "Vol  1", "Pit  33554432" }, {} },
        { { kX, 44100 * 61, 1, 3, 1u << 23, 9 }, normal,
            { "01:01.000", "Stop", "ID   3", "Pit  0.500000", "" }, {} },
        { { kX, 0, 2, 1, 2, 3 }, normal, { "00:00.000", "All Stop", "", "", "" }, {} },
        { { kX, 0, 3, 512, 2, 3 }, normal, { "00:00.000", "Volume", "Vol  0.500000", "", "" }, {} },
        { { kX, 0, 4, 512, 2, 3 }, normal, { "00:00.000", "Balance", "Pos  0.000000", "", "" },
            {} },
        { { kX, 0, 4, 512, 2, 3 }, raw, { "        0", "Balance", "Pos  512", "", "" }, {} },
        { { kX, 0, 5, 2048, 2, 3 }, normal, { "00:00.000", "Stress", "Vol  2.000000", "", "" },
            {} },
        { { kX, 0, 6, 1u << 24, 2, 3 }, normal, { "00:00.000", "Pitch", "Pit  1.000000", "", "" },
            {} },
        { { kX, 7, 7, 1, 2, 3 }, raw, { "        7", "Unknown", "", "", "" },
            { false, true, true, true, true } },
        // An event without the exists flag shows only the empty time.
        { { kEventSelected, 7, 0, 1, 2, 3 }, normal, { "--:--.---", "", "", "", "" },
            { true, true, true, true, true } },
        { { 0, 7, 0, 1, 2, 3 }, raw, { "---------", "", "", "", "" },
            { true, true, true, true, true } },
        // Frame counts longer than nine digits are not cut.
        { { kX, 4000000000u, 2, 0, 0, 0 }, raw, { "4000000000", "All Stop", "", "", "" }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texts[1]);
        const RowTexts row = TrackEditRowTexts(&c.event, c.format);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(row.texts[i], c.texts[i]) << "column " << i + 1;
            EXPECT_EQ(row.grey[i], c.grey[i]) << "column " << i + 1;
        }
    }
    const RowTexts empty = TrackEditRowTexts(nullptr, normal);
    EXPECT_EQ(empty.texts[0], "--:--.---");
    EXPECT_EQ(empty.grey[0], true);
    EXPECT_EQ(TrackEditTitle(5, u"a.spj"), u"Track Edit Track 5 [a.spj]");
}

TEST(TrackEditGeometry, CellsAndDocumentHeight)
{
    EXPECT_EQ(TrackEditCellAt({ 0, 0 }), (TableCell { 0, 0 }));
    EXPECT_EQ(TrackEditCellAt({ 19, 39 }), (TableCell { 1, 0 }));
    EXPECT_EQ(TrackEditCellAt({ 20, 5 }), std::nullopt); // the gap before Time
    EXPECT_EQ(TrackEditCellAt({ 50, 5 }), (TableCell { 0, 1 }));
    EXPECT_EQ(TrackEditCellAt({ 159, 5 }), (TableCell { 0, 1 }));
    EXPECT_EQ(TrackEditCellAt({ 160, 5 }), (TableCell { 0, 2 }));
    EXPECT_EQ(TrackEditCellAt({ 599, 5 }), (TableCell { 0, 5 }));
    EXPECT_EQ(TrackEditCellAt({ 600, 5 }), std::nullopt);
    EXPECT_EQ(TrackEditCellAt({ 10, -1 }), std::nullopt);

    EXPECT_EQ(TrackEditDocumentHeight(0, 320), 320);
    EXPECT_EQ(TrackEditDocumentHeight(1000, 300), 20300);
    // Past the 32-bit range the scroll bars take: held at its top.
    EXPECT_EQ(TrackEditDocumentHeight(0xFFFFFFFFu, 320), std::numeric_limits<std::int32_t>::max());
}

class TrackEdit : public EditingTest {
protected:
    TrackEditOutcome ClickMarker(std::uint32_t row, bool shift = false, bool ctrl = false)
    {
        panel.leftDown(TrackAt(0).count, Marker(row));
        return panel.leftUp(doc, ui, Marker(row), shift, ctrl);
    }
    void Layout(std::int32_t top = 0, std::int32_t bottom = 320)
    {
        panel.layout(doc.project(), top, bottom);
    }
    const PanelCell& At(std::size_t tableRow, std::size_t column)
    {
        return panel.cells()[tableRow * 6 + column];
    }

    TrackEditPanel panel { 0 };
};

TEST_F(TrackEdit, NewTrackShowsOneEmptyRowAndSpaceAppendsAPlayEvent)
{
    Layout();
    EXPECT_EQ(At(0, 1).text, u"--:--.---");
    EXPECT_EQ(At(0, 1).colour1, ColourFromNumber(0x808080));
    // The cursor row (0) is light blue; the others white.
    EXPECT_EQ(At(0, 2).colour2, ColourFromNumber(0xFF8080));
    EXPECT_EQ(At(1, 2).colour2, ColourFromNumber(0xFFFFFF));

    panel.key(doc, ui, TrackEditKey::kSpace);
    ASSERT_EQ(TrackAt(0).count, 1u);
    Layout();
    EXPECT_EQ(At(0, 1).text, u"00:00.000");
    EXPECT_EQ(At(0, 2).text, u"Play");
    EXPECT_EQ(At(0, 3).text, u"ID   0");
    EXPECT_EQ(At(0, 4).text, u"Vol  1.000000");
    EXPECT_EQ(At(0, 5).text, u"Pit  1.000000");
    EXPECT_EQ(At(0, 1).colour1, ColourFromNumber(0x000000));
    EXPECT_EQ(At(1, 1).text, u"--:--.---");
    // The cursor now rests on the new event: Space toggles it.
    panel.key(doc, ui, TrackEditKey::kSpace);
    Layout();
    EXPECT_EQ(TrackAt(0).count, 1u);
    EXPECT_EQ(At(0, 0).colour1, ColourFromNumber(0x800000));
    EXPECT_EQ(At(1, 0).colour1, ColourFromNumber(0xC0C0C0));
}

TEST_F(TrackEdit, TableIsLaidOutOverTheVisibleRowsOnly)
{
    std::vector<vellisto::testing::EventSpec> events;
    for (std::uint32_t i = 0; i < 1000; ++i)
        events.push_back({ i * 100, i });
    Fill(0, events);
    // Rows 500 to 515 show when the window's top is at y 10000 (320 high).
    Layout(10000, 10320);
    EXPECT_EQ(At(0, 3).text, u"ID   500");
    EXPECT_EQ(At(0, 1).top, 10000);
    EXPECT_EQ(At(15, 3).text, u"ID   515");
    EXPECT_EQ(At(16, 1).kind, CellKind::kNothing);
    // A half row at the top is drawn too.
    Layout(10010, 10330);
    EXPECT_EQ(At(0, 1).top, 10000);
    EXPECT_EQ(At(16, 1).top, 10320);
    // A window taller than 256 rows: the table ends at row 256.
    Layout(0, 6000);
    EXPECT_EQ(At(255, 3).text, u"ID   255");
    EXPECT_EQ(At(255, 0).command, 255u);
}

TEST_F(TrackEdit, ShiftClickTogglesFromTheCursorToTheClickedRow)
{
    Fill(0, { { 0 }, { 1 }, { 2 }, { 3 }, { 4 }, { 5 }, { 6 } });
    ClickMarker(2, false, true); // Ctrl: only moves the cursor
    EXPECT_EQ(panel.cursorRow(), 2u);
    EXPECT_EQ(Selected(0), B(7, false));

    ClickMarker(5, true);
    EXPECT_EQ(Selected(0), (B { false, false, false, true, true, true, false }));
    EXPECT_EQ(panel.cursorRow(), 5u);
    // Backwards: from the clicked row up to the row before the cursor.
    ClickMarker(1, true);
    EXPECT_EQ(Selected(0), (B { false, true, true, false, false, true, false }));
    // On the cursor row itself: nothing.
    ClickMarker(1, true);
    EXPECT_EQ(Selected(0), (B { false, true, true, false, false, true, false }));
    // A plain click toggles the row.
    ClickMarker(6);
    EXPECT_EQ(Selected(0), (B { false, true, true, false, false, true, true }));
    EXPECT_EQ(UndoSteps(), 0u);
}

TEST_F(TrackEdit, MarkerClicksPastTheLastEventAppend)
{
    Fill(0, { { 700 } });
    ClickMarker(1); // the empty row
    EXPECT_EQ(Times(0), (U { 700, 700 }));
    EXPECT_EQ(panel.cursorRow(), 1u);
    ClickMarker(9); // further down, still past the end
    EXPECT_EQ(Times(0), (U { 700, 700, 700 }));
    EXPECT_EQ(UndoSteps(), 1u); // one merged step
    ClickMarker(9, true); // Shift past the end: nothing
    EXPECT_EQ(TrackAt(0).count, 3u);
}

TEST_F(TrackEdit, MarkerPressLeftAndReleasedElsewhereDoesNothing)
{
    Fill(0, { { 0 }, { 1 } });
    panel.leftDown(2, Marker(1));
    Layout();
    EXPECT_EQ(At(1, 0).state, ButtonState::kPressedInside);
    EXPECT_TRUE(panel.move(Marker(0)).repaint);
    Layout();
    EXPECT_EQ(At(1, 0).state, ButtonState::kPressedOutside);
    // Keys are ignored while the button is down.
    EXPECT_FALSE(panel.key(doc, ui, TrackEditKey::kDown).repaint);
    EXPECT_TRUE(panel.leftUp(doc, ui, Marker(0), false, false).repaint);
    Layout();
    EXPECT_EQ(At(1, 0).state, ButtonState::kUp);
    EXPECT_EQ(Selected(0), (B { false, false }));
    EXPECT_EQ(panel.cursorRow(), 0u);
}

TEST_F(TrackEdit, PressOnATextCellEditsItThroughTheInputDialog)
{
    Fill(0, { { 0, 1 }, { 44100, 2 }, { 88200, 3 } });
    const TrackEditOutcome down = panel.leftDown(3, Cell(0, 1));
    ASSERT_EQ(down.edit, EventField::kTime);
    EXPECT_FALSE(panel.buttonDown()); // the dialog takes the release
    EXPECT_EQ(panel.cursorColumn(), 1u);
    Layout();
    EXPECT_EQ(At(0, 1).colour2, ColourFromNumber(0x80FF80)); // light green while editing
    EXPECT_EQ(At(0, 2).colour2, ColourFromNumber(0xFF8080));

    ui.inputAnswers.push_back("0:01.5");
    panel.runEdit(doc, ui, ui);
    EXPECT_EQ(ui.inputRequests.back(), "00:00.000");
    EXPECT_EQ(Times(0), (U { 44100, 66150, 88200 }));
    EXPECT_EQ(panel.cursorColumn(), 0u);

    // A Play event's volume: 1 is the raw word, 1.0 is 1024.
    panel.leftDown(3, Cell(2, 4));
    ui.inputAnswers.push_back("1");
    panel.runEdit(doc, ui, ui);
    EXPECT_EQ(TrackAt(0).events[2].data2, 1u);
    Layout();
    EXPECT_EQ(At(2, 4).text, u"Vol  0.000977");
    panel.key(doc, ui, TrackEditKey::kEditData2);
    ui.inputAnswers.push_back("1.0");
    panel.runEdit(doc, ui, ui);
    EXPECT_EQ(TrackAt(0).events[2].data2, 1024u);

    // A press on the empty row (or below) only moves the cursor there.
    const TrackEditOutcome empty = panel.leftDown(3, Cell(7, 3));
    EXPECT_FALSE(empty.edit.has_value());
    EXPECT_EQ(panel.cursorRow(), 3u);
    EXPECT_FALSE(panel.key(doc, ui, TrackEditKey::kEditType).edit.has_value());
}

TEST_F(TrackEdit, KeysMoveTheCursorAndScrollItNearTheTop)
{
    Fill(0, { { 0 }, { 1 } });
    EXPECT_EQ(panel.key(doc, ui, TrackEditKey::kUp).scrollTop, -100);
    EXPECT_EQ(panel.cursorRow(), 0u);
    panel.key(doc, ui, TrackEditKey::kDown);
    panel.key(doc, ui, TrackEditKey::kDown);
    const TrackEditOutcome last = panel.key(doc, ui, TrackEditKey::kDown);
    EXPECT_EQ(panel.cursorRow(), 2u); // the empty row, no further
    EXPECT_EQ(last.scrollTop, 2 * 20 - 100);

    // Every letter edits its own column of the cursor row.
    panel.key(doc, ui, TrackEditKey::kUp);
    const TrackEditKey letters[] = { TrackEditKey::kEditTime, TrackEditKey::kEditType,
        TrackEditKey::kEditData1, TrackEditKey::kEditData2, TrackEditKey::kEditData3 };
    for (std::uint32_t i = 0; i < 5; ++i) {
        const TrackEditOutcome outcome = panel.key(doc, ui, letters[i]);
        ASSERT_TRUE(outcome.edit.has_value());
        EXPECT_EQ(static_cast<std::uint32_t>(*outcome.edit), i + 1);
        EXPECT_EQ(panel.cursorColumn(), i + 1);
        panel.runEdit(doc, ui, ui); // cancelled
    }
}

TEST_F(TrackEdit, RightPressOnAnEventRowMovesTheCursorAndItsReleaseAsksForTheMenu)
{
    Fill(0, { { 0 }, { 1 } });
    EXPECT_TRUE(panel.rightDown(2, Cell(1, 2)).repaint);
    EXPECT_EQ(panel.cursorRow(), 1u);
    EXPECT_TRUE(panel.buttonDown());
    EXPECT_FALSE(panel.leftDown(2, Cell(0, 1)).edit.has_value());
    EXPECT_TRUE(panel.rightUp().contextMenu);
    // On the empty row, or on a marker: the cursor stays.
    panel.rightDown(2, Cell(2, 2));
    panel.rightUp();
    panel.rightDown(2, Marker(0));
    panel.rightUp();
    EXPECT_EQ(panel.cursorRow(), 1u);
}

TEST_F(TrackEdit, CommandsRunOnThisTracksCursorRow)
{
    Fill(0, { { 1000, 1, true }, { 1500, 2, true }, { 1500, 3, true }, { 8000, 4 } });
    panel.runCommand(EventViewCommand::kCopy, doc, ui, clipboard);
    panel.runCommand(EventViewCommand::kDeselect, doc, ui, clipboard);
    for (int i = 0; i < 3; ++i)
        panel.key(doc, ui, TrackEditKey::kDown);
    ASSERT_EQ(panel.cursorRow(), 3u);
    panel.runCommand(EventViewCommand::kPaste, doc, ui, clipboard);
    EXPECT_EQ(Times(0), (U { 1000, 1500, 1500, 8000, 8000, 8500, 8500 }));
    EXPECT_EQ(Data1(0), (U { 1, 2, 3, 4, 1, 2, 3 }));
    EXPECT_EQ(Selected(0), B(7, false));

    EXPECT_EQ(panel.commandState(EventViewCommand::kShowNormalized), (CommandState { true, true }));
    EXPECT_EQ(panel.commandState(EventViewCommand::kShowBySample), (CommandState { true, false }));
    EXPECT_TRUE(panel.runCommand(EventViewCommand::kShowBySample, doc, ui, clipboard));
    EXPECT_EQ(panel.commandState(EventViewCommand::kShowBySample), (CommandState { true, true }));
    EXPECT_TRUE(panel.commandState(EventViewCommand::kStretchTimelines).enabled);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kCut).enabled);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kZoomIn).enabled);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kAddingEventsMode).enabled);
    EXPECT_FALSE(panel.runCommand(EventViewCommand::kZoomIn, doc, ui, clipboard));
    Layout();
    EXPECT_EQ(At(3, 1).text, u"     8000");
}

TEST_F(TrackEdit, CursorLeftPastAShortenedListIsSafe)
{
    Fill(0, { { 0 }, { 1 }, { 2 }, { 3 } });
    for (int i = 0; i < 4; ++i)
        panel.key(doc, ui, TrackEditKey::kDown);
    // Another view empties most of the track.
    Fill(0, { { 0 }, { 1 } });
    ClickMarker(0, true); // Shift from cursor 4 back to row 0: rows 0 and 1 only
    EXPECT_EQ(Selected(0), (B { true, true }));
    EXPECT_EQ(panel.cursorRow(), 0u);

    // Up from past the end of a shortened list lands on its last event.
    panel.key(doc, ui, TrackEditKey::kDown);
    panel.key(doc, ui, TrackEditKey::kDown);
    Fill(0, { { 0 } });
    panel.key(doc, ui, TrackEditKey::kUp);
    EXPECT_EQ(panel.cursorRow(), 0u);
}
