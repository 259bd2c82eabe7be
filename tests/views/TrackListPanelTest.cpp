// SPDX-License-Identifier: MIT
#include "views/TrackListPanel.h"

#include "editing/EditingFixture.h"
#include "support/CountingView.h"
#include "views/TrackEditPanel.h"

using namespace vellisto;
using namespace vellisto::views;
using vellisto::testing::CountingView;
using vellisto::testing::EditingTest;

namespace {

using U = std::vector<std::uint32_t>;

PanelPoint CellCentre(std::uint32_t row, std::uint32_t column)
{
    const std::int32_t x[] = { 20, 50, 70, 300 };
    return { x[column], static_cast<std::int32_t>(row) * 20 + 10 };
}

std::u16string Info(const TrackListPanel& panel, std::uint32_t row)
{
    return panel.cells()[row * 4 + 3].text;
}

} // namespace

class TrackList : public EditingTest {
protected:
    // A complete left click on a cell of the table.
    TrackListOutcome Click(std::uint32_t row, std::uint32_t column)
    {
        panel.leftDown(CellCentre(row, column));
        return panel.leftUp(doc.project(), CellCentre(row, column));
    }

    TrackListPanel panel;
};

TEST_F(TrackList, ANewProjectShowsSixtyFourNumberedUnusedRows)
{
    panel.refresh(doc.project());
    for (std::uint32_t row = 0; row < 64; ++row) {
        SCOPED_TRACE(row);
        const PanelCell* cells = &panel.cells()[row * 4];
        const std::int32_t top = static_cast<std::int32_t>(row) * 20;
        const std::int32_t left[] = { 0, 40, 60, 90 };
        const std::int32_t right[] = { 40, 60, 80, 620 };
        for (std::uint32_t column = 0; column < 4; ++column) {
            EXPECT_EQ(cells[column].left, left[column]);
            EXPECT_EQ(cells[column].right, right[column]);
            EXPECT_EQ(cells[column].top, top);
            EXPECT_EQ(cells[column].bottom, top + 20);
            EXPECT_EQ(cells[column].kind, column < 3 ? CellKind::kButton : CellKind::kText);
        }
        const std::string number = std::to_string(row);
        EXPECT_EQ(cells[0].text, std::u16string(number.begin(), number.end()));
        EXPECT_EQ(cells[1].text, u"G");
        EXPECT_EQ(cells[2].text, u"");
        EXPECT_EQ(cells[2].colour1, ColourFromNumber(0xC0C0C0));
        EXPECT_EQ(cells[3].text, u"Unused");
        EXPECT_EQ(cells[3].colour1, ColourFromNumber(0x808080));
        // The current track (0) has a light blue line, the others white.
        EXPECT_EQ(cells[3].colour2, ColourFromNumber(row == 0 ? 0xFF8080 : 0xFFFFFF));
    }
    EXPECT_EQ(TrackListTitle(u"song.spj"), u"Track List [song.spj]");
}

TEST_F(TrackList, SummaryShowsTheLastEventsTimeAndTheEventCount)
{
    std::vector<vellisto::testing::EventSpec> events(12, { 1000 });
    events.back().time = 90 * 44100;
    Fill(3, events);
    panel.refresh(doc.project());
    EXPECT_EQ(Info(panel, 3), u"Length          01:30.000   Events      12");
    EXPECT_EQ(panel.cells()[3 * 4 + 3].colour1, ColourFromNumber(0x000000));

    Fill(4, { { 0 }, { 44100 * 61 + 22050 + 4 } }); // 61.5 s and a little: milliseconds truncate
    EXPECT_EQ(TrackSummary(TrackAt(4), 44100), "Length          01:01.500   Events      2");
    EXPECT_EQ(TrackSummary(TrackAt(4), 0), "Length          00:00.000   Events      2");
}

TEST_F(TrackList, StateButtonCyclesMutedSoloNormalOnlyOnTracksWithEvents)
{
    Fill(1, { { 10 } });
    CountingView view;
    doc.addView(view);
    panel.refresh(doc.project());

    struct Step {
        std::uint32_t flags;
        const char16_t* text;
        std::uint32_t face;
    };
    const Step steps[] = {
        { kTrackMuted, u"M", 0xFF8080 },
        { kTrackSolo, u"S", 0x80FF80 },
        { 0, u"", 0xC0C0C0 },
    };
    for (const Step& step : steps) {
        EXPECT_EQ(Click(1, 2).action, TrackListAction::kRepaint);
        EXPECT_EQ(TrackAt(1).flags, step.flags);
        EXPECT_EQ(panel.cells()[1 * 4 + 2].text, step.text);
        EXPECT_EQ(panel.cells()[1 * 4 + 2].colour1, ColourFromNumber(step.face));
    }
    // An empty track keeps its state.
    EXPECT_EQ(Click(2, 2).action, TrackListAction::kNone);
    EXPECT_EQ(TrackAt(2).flags, 0u);

    // Space cycles the current track the same way.
    Click(1, 3);
    EXPECT_EQ(panel.currentTrack(), 1u);
    panel.key(doc.project(), TrackListKey::kSpace);
    EXPECT_EQ(TrackAt(1).flags, kTrackMuted);

    // Not an edit: no undo step, not modified, no other view told.
    EXPECT_EQ(UndoSteps(), 0u);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(view.updates, 0);
    doc.removeView(view);
}

TEST_F(TrackList, ButtonsOpenWindowsOnlyWhenReleasedOverThem)
{
    EXPECT_EQ(Click(7, 0).action, TrackListAction::kOpenTrackEdit);
    EXPECT_EQ(Click(7, 0).track, 7u);
    EXPECT_EQ(Click(9, 1).action, TrackListAction::kOpenEventGraph);
    EXPECT_EQ(Click(9, 1).track, 9u);

    // Pressed, dragged off (drawn raised), back on (pressed), off and released: nothing.
    TrackListOutcome down = panel.leftDown(CellCentre(5, 0));
    EXPECT_EQ(down.redraw, std::optional<std::size_t>(20));
    EXPECT_EQ(panel.cells()[20].state, ButtonState::kPressedInside);
    panel.move(CellCentre(6, 0));
    EXPECT_EQ(panel.cells()[20].state, ButtonState::kPressedOutside);
    panel.move(CellCentre(5, 0));
    EXPECT_EQ(panel.cells()[20].state, ButtonState::kPressedInside);
    EXPECT_EQ(panel.key(doc.project(), TrackListKey::kEnter).action, TrackListAction::kNone);
    const TrackListOutcome up = panel.leftUp(doc.project(), CellCentre(6, 1));
    EXPECT_EQ(up.action, TrackListAction::kNone);
    EXPECT_EQ(panel.cells()[20].state, ButtonState::kUp);
    // A press on a button does not change the current track.
    EXPECT_EQ(panel.currentTrack(), 0u);
}

TEST_F(TrackList, KeysMoveTheCurrentTrackWithinTheListAndScrollToIt)
{
    EXPECT_EQ(panel.key(doc.project(), TrackListKey::kUp).scrollTop, -100);
    EXPECT_EQ(panel.currentTrack(), 0u);
    for (int i = 0; i < 70; ++i)
        panel.key(doc.project(), TrackListKey::kDown);
    EXPECT_EQ(panel.currentTrack(), 63u);
    EXPECT_EQ(panel.key(doc.project(), TrackListKey::kDown).scrollTop, 63 * 20 - 100);
    EXPECT_EQ(panel.cells()[63 * 4 + 3].colour2, ColourFromNumber(0xFF8080));
    EXPECT_EQ(panel.cells()[0 * 4 + 3].colour2, ColourFromNumber(0xFFFFFF));
    const TrackListOutcome enter = panel.key(doc.project(), TrackListKey::kEnter);
    EXPECT_EQ(enter.action, TrackListAction::kOpenTrackEdit);
    EXPECT_EQ(enter.track, 63u);
    EXPECT_EQ(
        panel.key(doc.project(), TrackListKey::kGraph).action, TrackListAction::kOpenEventGraph);

    // The right button picks the row under it and blocks keys until released.
    EXPECT_EQ(panel.rightDown(CellCentre(12, 3)).action, TrackListAction::kRepaint);
    EXPECT_EQ(panel.currentTrack(), 12u);
    EXPECT_EQ(panel.key(doc.project(), TrackListKey::kUp).action, TrackListAction::kNone);
    EXPECT_EQ(panel.rightUp().action, TrackListAction::kContextMenu);
    EXPECT_EQ(panel.rightUp().action, TrackListAction::kNone);
}

TEST_F(TrackList, EraseEmptiesTheCurrentTrackWithAnUndoStep)
{
    Fill(2, { { 10 }, { 20 } });
    panel.leftDown(CellCentre(2, 3));
    panel.leftUp(doc.project(), CellCentre(2, 3));
    ASSERT_EQ(panel.currentTrack(), 2u);
    EXPECT_TRUE(panel.commandState(EventViewCommand::kErase).enabled);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kCut).enabled);
    EXPECT_FALSE(panel.commandState(EventViewCommand::kSetRangeAndData).enabled);
    EXPECT_TRUE(panel.runCommand(EventViewCommand::kErase, doc, ui, clipboard));
    EXPECT_EQ(TrackAt(2).count, 0u);
    panel.refresh(doc.project());
    EXPECT_EQ(Info(panel, 2), u"Unused");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(TrackAt(2).count, 2u);
    EXPECT_FALSE(panel.runCommand(EventViewCommand::kDeselect, doc, ui, clipboard));
}

TEST_F(TrackList, AWholeTrackCopiedHerePastesIntoAnEventViewShiftedByTheCursorEvent)
{
    Fill(0, { { 100, 1 }, { 300, 2 } });
    Fill(1, { { 5000, 9 } });
    panel.runCommand(EventViewCommand::kCopy, doc, ui, clipboard);
    ASSERT_TRUE(clipboard.content.has_value());

    // The track edit view of track 1, cursor on its only event.
    TrackEditPanel edit(1);
    EXPECT_TRUE(edit.runCommand(EventViewCommand::kPaste, doc, ui, clipboard));
    EXPECT_EQ(Times(1), (U { 5000, 5100, 5300 }));
    EXPECT_EQ(Data1(1), (U { 9, 1, 2 }));

    // Back in the track list: pasted unshifted into another track.
    for (int i = 0; i < 3; ++i)
        panel.key(doc.project(), TrackListKey::kDown);
    panel.runCommand(EventViewCommand::kPaste, doc, ui, clipboard);
    EXPECT_EQ(Times(3), (U { 100, 300 }));

    // Copying an empty track says so and keeps the clipboard.
    panel.key(doc.project(), TrackListKey::kDown);
    const auto before = clipboard.content;
    panel.runCommand(EventViewCommand::kCopy, doc, ui, clipboard);
    EXPECT_EQ(ui.lastMessage().text, "No data to copy exists.");
    EXPECT_EQ(clipboard.content, before);
}
