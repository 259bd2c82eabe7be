// SPDX-License-Identifier: MIT
#include "views/PanelText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vellisto::views;

TEST(PanelText, AlignmentFlagsReadDifferentlyForTextAndButtons)
{
    struct Case {
        CellKind kind;
        std::uint32_t flags;
        TextAlign expected;
    };
    const Case cases[] = {
        { CellKind::kText, 0, TextAlign::kLeft },
        { CellKind::kText, kAlignLeft, TextAlign::kLeft }, // bit 0 means nothing here
        { CellKind::kText, kAlignCentre, TextAlign::kCentre },
        { CellKind::kText, kAlignRight, TextAlign::kRight },
        { CellKind::kText, kAlignRight | kAlignCentre, TextAlign::kRight },
        { CellKind::kButton, 0, TextAlign::kCentre },
        { CellKind::kButton, kAlignCentre, TextAlign::kCentre }, // bit 1 means nothing here
        { CellKind::kButton, kAlignLeft, TextAlign::kLeft },
        { CellKind::kButton, kAlignRight, TextAlign::kRight },
        { CellKind::kButton, kAlignLeft | kAlignRight, TextAlign::kLeft },
    };
    for (const Case& c : cases) {
        PanelCell cell;
        cell.kind = c.kind;
        cell.flags = c.flags;
        EXPECT_EQ(PanelTextAlign(cell), c.expected)
            << "kind " << static_cast<int>(c.kind) << " flags " << c.flags;
    }
}

TEST(PanelText, TextCellLinesFollowTheLineBreaksFromTheTop)
{
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    // A 420 x 40 cell holds two 16-pixel lines and part of a third.
    const Case cases[] = {
        { u"one line", { u"one line" } },
        { u"first\nsecond", { u"first", u"second" } },
        { u"a\r\nb\rc", { u"a", u"b", u"c" } },
        { u"a\n\nc", { u"a", u"", u"c" } },
        { u"1\n2\n3\n4", { u"1", u"2", u"3" } }, // the fourth starts below the cell
        { u"no\twrap " + std::u16string(200, u'x'), { u"no\twrap " + std::u16string(200, u'x') } },
    };
    for (const Case& c : cases) {
        PanelCell cell = MakeTextCell(180, 60, 600, 100, c.text);
        cell.colour1 = ColourFromNumber(0x808080);
        const PanelTextLayout layout = LayoutPanelText(cell, 16);
        EXPECT_EQ(layout.colour, ColourFromNumber(0x808080));
        EXPECT_FALSE(layout.singleLine);
        EXPECT_TRUE(layout.expandTabs);
        EXPECT_EQ(layout.clip, (PanelRect { 180, 60, 600, 100 }));
        ASSERT_EQ(layout.lines.size(), c.lines.size());
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(layout.lines[i].text, c.lines[i]);
            const auto top = static_cast<std::int32_t>(60 + 16 * i);
            EXPECT_EQ(layout.lines[i].rect, (PanelRect { 180, top, 600, top + 16 }));
        }
    }
}

TEST(PanelText, ButtonTextIsOneCentredLineInBlack)
{
    struct Case {
        std::int32_t top, bottom, lineTop;
    };
    // The spare height is split, the odd pixel going below.
    const Case cases[] = { { 0, 20, 2 }, { 60, 100, 72 }, { 0, 17, 0 }, { 0, 10, -3 } };
    for (const Case& c : cases) {
        PanelCell cell = MakeButtonCell(0, c.top, 160, c.bottom, u"Sound\nList", 7);
        const PanelTextLayout layout = LayoutPanelText(cell, 16);
        EXPECT_EQ(layout.colour, kBlack) << "colour 1 is the face, not the text";
        EXPECT_TRUE(layout.singleLine);
        EXPECT_FALSE(layout.expandTabs);
        ASSERT_EQ(layout.lines.size(), 1u);
        EXPECT_EQ(layout.lines[0].text, u"Sound\nList");
        EXPECT_EQ(layout.lines[0].rect, (PanelRect { 0, c.lineTop, 160, c.lineTop + 16 }))
            << c.top << ".." << c.bottom;
    }
}

TEST(PanelText, NothingToDrawForEmptyOrUndrawnCells)
{
    PanelCell nothing;
    nothing.right = 100;
    nothing.bottom = 20;
    SetCellText(nothing, u"hidden");
    EXPECT_TRUE(LayoutPanelText(nothing).lines.empty());
    EXPECT_TRUE(LayoutPanelText(MakeTextCell(10, 10, 10, 30, u"zero width")).lines.empty());
    EXPECT_TRUE(LayoutPanelText(MakeButtonCell(10, 30, 20, 10, u"upside down", 0)).lines.empty());
}

TEST(PanelText, SetCellTextCopiesAndConvertsUtf8)
{
    PanelCell cell;
    std::u16string source = u"first";
    SetCellText(cell, source);
    source[0] = u'F';
    EXPECT_EQ(cell.text, u"first");
    SetCellText(cell, std::string_view("\xE9\x9F\xB3 ok")); // U+97F3 then " ok"
    EXPECT_EQ(cell.text, u"\u97F3 ok");
    SetCellText(cell, std::string_view("bad \xFF"));
    EXPECT_EQ(cell.text, u"bad \uFFFD");
}
