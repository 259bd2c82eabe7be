// SPDX-License-Identifier: MIT
#include "views/PanelPress.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vellisto::views;

namespace {

// Two buttons overlapping at x 50..59 and a text cell over the second.
std::vector<PanelCell> Cells()
{
    std::vector<PanelCell> cells;
    cells.push_back(MakeButtonCell(0, 0, 60, 20, u"A", 10));
    cells.push_back(MakeButtonCell(50, 0, 110, 20, u"B", 11));
    cells.push_back(MakeTextCell(0, 20, 110, 40, u"text"));
    return cells;
}

} // namespace

TEST(PanelCell, HitTestsStopAtTheExclusiveEdges)
{
    const std::vector<PanelCell> cells = Cells();
    struct Case {
        PanelPoint point;
        std::optional<std::size_t> button;
        std::optional<std::size_t> any;
    };
    const Case cases[] = {
        { { 0, 0 }, 0, 0 },
        { { 59, 19 }, 0, 0 }, // overlap: the first in array order wins
        { { 60, 19 }, 1, 1 },
        { { 109, 0 }, 1, 1 },
        { { 110, 0 }, std::nullopt, std::nullopt },
        { { 0, 20 }, std::nullopt, 2 }, // a text cell is not a button
        { { 109, 39 }, std::nullopt, 2 },
        { { 0, 40 }, std::nullopt, std::nullopt },
        { { -1, 0 }, std::nullopt, std::nullopt },
        { { 0, -1 }, std::nullopt, std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindButtonAt(cells, c.point), c.button) << c.point.x << ", " << c.point.y;
        EXPECT_EQ(FindCellAt(cells, c.point), c.any) << c.point.x << ", " << c.point.y;
    }
    PanelCell nothing; // all zeros: never hit, even at its own origin
    nothing.right = 10;
    nothing.bottom = 10;
    const PanelCell alone[] = { nothing };
    EXPECT_EQ(FindCellAt(alone, { 0, 0 }), std::nullopt);
}

TEST(PanelPress, DragOutAndBackThenReleaseInsidePerformsOnce)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    PressChange change = press.leftDown(cells, { 70, 5 }, true);
    EXPECT_EQ(change.redraw, 1u);
    EXPECT_EQ(cells[1].state, ButtonState::kPressedInside);
    EXPECT_TRUE(press.tracking());
    EXPECT_TRUE(press.ctrlHeld());

    struct Step {
        PanelPoint point;
        ButtonState state;
        bool redraw;
    };
    const Step steps[] = {
        { { 80, 10 }, ButtonState::kPressedInside, false },
        { { 80, 20 }, ButtonState::kPressedOutside, true }, // bottom edge is outside
        { { 200, 50 }, ButtonState::kPressedOutside, false },
        { { 50, 0 }, ButtonState::kPressedInside, true }, // its own left edge
    };
    for (const Step& s : steps) {
        change = press.move(cells, s.point);
        EXPECT_EQ(cells[1].state, s.state) << s.point.x << ", " << s.point.y;
        EXPECT_EQ(change.redraw.has_value(), s.redraw) << s.point.x << ", " << s.point.y;
        EXPECT_FALSE(change.perform);
        EXPECT_EQ(cells[0].state, ButtonState::kUp) << "the other button never moves";
    }
    change = press.leftUp(cells, { 55, 5 });
    EXPECT_EQ(change.redraw, 1u);
    EXPECT_EQ(change.perform, 1u);
    EXPECT_EQ(cells[1].state, ButtonState::kUp);
    EXPECT_FALSE(press.tracking());

    change = press.leftUp(cells, { 55, 5 });
    EXPECT_FALSE(change.perform) << "a second release performs nothing";
}

TEST(PanelPress, ReleaseOutsidePerformsNothing)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    press.leftDown(cells, { 10, 10 }, false);
    EXPECT_FALSE(press.ctrlHeld());
    const PressChange change = press.leftUp(cells, { 60, 10 });
    EXPECT_EQ(change.redraw, 0u);
    EXPECT_FALSE(change.perform);
    EXPECT_EQ(cells[0].state, ButtonState::kUp);
}

TEST(PanelPress, PressesOutsideButtonsTrackButPressNothing)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    EXPECT_FALSE(press.leftDown(cells, { 10, 30 }, false).redraw); // on the text cell
    EXPECT_TRUE(press.tracking());
    EXPECT_FALSE(press.pressedCell());
    // While tracking, a second press is ignored, even on a button.
    EXPECT_FALSE(press.leftDown(cells, { 10, 10 }, false).redraw);
    EXPECT_EQ(cells[0].state, ButtonState::kUp);
    EXPECT_FALSE(press.move(cells, { 10, 10 }).redraw);
    const PressChange change = press.leftUp(cells, { 10, 10 });
    EXPECT_FALSE(change.redraw);
    EXPECT_FALSE(change.perform);
    EXPECT_FALSE(press.tracking());
}

TEST(PanelPress, RightButtonBlocksTheLeftUntilReleased)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    EXPECT_TRUE(press.rightDown());
    EXPECT_TRUE(press.tracking());
    EXPECT_FALSE(press.leftDown(cells, { 10, 10 }, false).redraw);
    EXPECT_EQ(cells[0].state, ButtonState::kUp);
    EXPECT_FALSE(press.leftUp(cells, { 10, 10 }).perform);
    EXPECT_TRUE(press.tracking()) << "a left release does not end the right button's tracking";
    EXPECT_TRUE(press.rightUp());
    EXPECT_FALSE(press.tracking());
    EXPECT_FALSE(press.rightUp());

    // A right press during a left press changes nothing.
    press.leftDown(cells, { 10, 10 }, false);
    EXPECT_FALSE(press.rightDown());
    EXPECT_FALSE(press.rightUp());
    EXPECT_EQ(press.leftUp(cells, { 10, 10 }).perform, 0u);
}

TEST(PanelPress, CancelRaisesTheButtonWithoutPerforming)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    press.leftDown(cells, { 10, 10 }, false);
    const PressChange change = press.cancel(cells);
    EXPECT_EQ(change.redraw, 0u);
    EXPECT_FALSE(change.perform);
    EXPECT_EQ(cells[0].state, ButtonState::kUp);
    EXPECT_FALSE(press.tracking());
    EXPECT_FALSE(press.leftUp(cells, { 10, 10 }).perform);
}

TEST(PanelPress, CellsReplacedDuringAPressAreNotTouched)
{
    std::vector<PanelCell> cells = Cells();
    PanelPress press;
    press.leftDown(cells, { 100, 10 }, false); // presses cell 1
    cells.resize(1); // the view rebuilt its cells meanwhile
    EXPECT_FALSE(press.move(cells, { 100, 10 }).redraw);
    const PressChange change = press.leftUp(cells, { 100, 10 });
    EXPECT_FALSE(change.perform);
    EXPECT_FALSE(press.tracking());
}
