// SPDX-License-Identifier: MIT
#include "views/SoundListPanel.h"

#include "document/Document.h"
#include "document/NameField.h"
#include "editing/ClipboardBlocks.h"
#include "platform/TextCodec.h"
#include "support/FakeClipboard.h"
#include "support/NewDocument.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::testing::FakeClipboard;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::ScriptedUserInterface;

namespace {

constexpr Colour kGrey = ColourFromNumber(0x808080);
constexpr Colour kLightBlue = ColourFromNumber(0xFF8080);

class SoundList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(MakeNewDocument(doc, ui)); }

    void Name(std::uint32_t id, std::u16string_view name)
    {
        StoreNameText(doc.project()->sounds[id].fileName, name);
    }
    const PanelCell& NameCell(std::size_t row) const { return panel.cells()[2 * row + 1]; }

    // A left press and release at a document point; the cell performed, if any.
    std::optional<std::size_t> Click(PanelPoint point)
    {
        bool currentChanged = false;
        panel.leftDown(point, false, currentChanged);
        return panel.press().leftUp(panel.cells(), point).perform;
    }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
    SoundListPanel panel;
    FakeClipboard clipboard;
};

} // namespace

TEST_F(SoundList, ANewProjectShows1024GreyRowsWithRowZeroCurrent)
{
    panel.update(doc.project());
    for (std::size_t row = 0; row < kSoundListRows; ++row) {
        SCOPED_TRACE(row);
        const PanelCell& button = panel.cells()[2 * row];
        const auto top = static_cast<std::int32_t>(20 * row);
        EXPECT_EQ(button.kind, CellKind::kButton);
        EXPECT_EQ(button.text, platform::Utf8ToUtf16(std::to_string(row)));
        EXPECT_EQ(button.command, row);
        EXPECT_EQ(button.left, 0);
        EXPECT_EQ(button.right, 40);
        EXPECT_EQ(button.top, top);
        EXPECT_EQ(button.bottom, top + 20);
        EXPECT_EQ(button.colour1, ColourFromNumber(0xC0C0C0));
        const PanelCell& name = NameCell(row);
        EXPECT_EQ(name.kind, CellKind::kText);
        EXPECT_EQ(name.text, u"(No file)");
        EXPECT_EQ(name.left, 50);
        EXPECT_EQ(name.right, 600);
        EXPECT_EQ(name.top, top);
        EXPECT_EQ(name.colour1, kGrey);
        EXPECT_EQ(name.colour2, row == 0 ? kLightBlue : kWhite);
    }
}

TEST_F(SoundList, NamesShowBlackAndFollowUndo)
{
    Name(3, u"\\kit\\kick.wav");
    Name(1023, u"/abs/\u97F3.wav");
    panel.update(doc.project());
    EXPECT_EQ(NameCell(3).text, u"\\kit\\kick.wav");
    EXPECT_EQ(NameCell(3).colour1, kBlack);
    EXPECT_EQ(NameCell(1023).text, u"/abs/\u97F3.wav");
    EXPECT_EQ(NameCell(4).colour1, kGrey);

    RunSoundListCommand(SoundListCommand::kErase, doc, ui, clipboard, 3);
    panel.update(doc.project());
    EXPECT_EQ(NameCell(3).text, u"(No file)");
    ASSERT_TRUE(doc.Undo());
    panel.update(doc.project());
    EXPECT_EQ(NameCell(3).text, u"\\kit\\kick.wav");

    panel.update(nullptr); // a document without a project
    EXPECT_EQ(NameCell(3).text, u"(No file)");
}

TEST_F(SoundList, UpAndDownStopAtTheEndsAndScrollTheRow100PixelsDown)
{
    struct Step {
        SoundListKey key;
        std::uint32_t current;
        std::int32_t scrollY; // with a client height of 320
    };
    const Step steps[] = {
        { SoundListKey::kUp, 0, 0 }, // stays at 0
        { SoundListKey::kDown, 1, 0 },
        { SoundListKey::kDown, 2, 0 },
        { SoundListKey::kDown, 3, 0 },
        { SoundListKey::kDown, 4, 0 },
        { SoundListKey::kDown, 5, 0 },
        { SoundListKey::kDown, 6, 20 }, // 6 x 20 - 100
        { SoundListKey::kDown, 7, 40 },
        { SoundListKey::kUp, 6, 20 },
    };
    for (const Step& step : steps) {
        const auto result = panel.key(step.key, 320);
        EXPECT_EQ(panel.currentSound(), step.current);
        EXPECT_EQ(result.scrollY, step.scrollY);
        EXPECT_FALSE(result.openSound);
    }
    ASSERT_TRUE(panel.setCurrentSound(1023));
    // Down at the last row stays there; the scroll range ends at 20480 - 320.
    const auto last = panel.key(SoundListKey::kDown, 320);
    EXPECT_EQ(panel.currentSound(), 1023u);
    EXPECT_EQ(last.scrollY, 20480 - 320);
    EXPECT_EQ(panel.key(SoundListKey::kUp, 320).scrollY,
        20480 - 320); // 1022 x 20 - 100 is past the range
    // Enter opens the current sound's settings.
    EXPECT_EQ(panel.key(SoundListKey::kEnter, 320).openSound, 1022u);
    // Only the old and the new current row change colour.
    EXPECT_EQ(NameCell(1022).colour2, kLightBlue);
    EXPECT_EQ(NameCell(1023).colour2, kWhite);
    EXPECT_EQ(NameCell(0).colour2, kWhite);
}

TEST(SoundListScroll, RowsShowingAndTheKeysScrollPosition)
{
    struct Case {
        std::int32_t scrollY, height;
        std::size_t first, last;
    };
    const Case cases[] = {
        { 0, 320, 0, 16 },
        { 10, 320, 0, 17 }, // partly shown rows count
        { 20, 300, 1, 16 },
        { 20160, 320, 1008, 1024 },
        { 20470, 320, 1023, 1024 }, // past the end: cut at the last row
        { 0, 0, 0, 0 },
        { -50, 100, 0, 3 },
    };
    for (const Case& c : cases) {
        const RowRange rows = VisibleSoundRows(c.scrollY, c.height);
        EXPECT_EQ(rows.first, c.first) << c.scrollY;
        EXPECT_EQ(rows.last, c.last) << c.scrollY;
    }
    EXPECT_EQ(ScrollForSoundRow(0, 320), 0);
    EXPECT_EQ(ScrollForSoundRow(500, 320), 9900);
    EXPECT_EQ(ScrollForSoundRow(1023, 20480), 0); // a window taller than the list
}

TEST_F(SoundList, PressesOpenSoundsOrChooseTheCurrentRow)
{
    EXPECT_EQ(panel.soundOfCell(*Click({ 39, 20 * 7 + 19 })), 7u); // button of row 7
    EXPECT_EQ(panel.currentSound(), 0u);
    EXPECT_FALSE(Click({ 45, 20 * 7 })); // between button and name
    EXPECT_EQ(panel.currentSound(), 0u);

    bool changed = false;
    panel.leftDown({ 50, 20 * 9 + 5 }, false, changed); // name of row 9
    EXPECT_TRUE(changed);
    EXPECT_EQ(panel.currentSound(), 9u);
    // A second press while the first is held is ignored.
    panel.leftDown({ 50, 20 * 2 }, false, changed);
    EXPECT_FALSE(changed);
    EXPECT_FALSE(panel.press().leftUp(panel.cells(), { 50, 20 * 9 }).perform);
    EXPECT_EQ(panel.currentSound(), 9u);
    // Keys are ignored while the right button is held.
    ASSERT_FALSE(panel.rightDown({ 0, 0 })); // on a button: current unchanged
    EXPECT_EQ(panel.key(SoundListKey::kDown, 320).scrollY, std::nullopt);
    EXPECT_TRUE(panel.press().rightUp());
    EXPECT_EQ(panel.currentSound(), 9u);
    // Pressing a button and releasing it off the button opens nothing.
    panel.leftDown({ 10, 20 * 3 }, false, changed);
    EXPECT_EQ(panel.cells()[6].state, ButtonState::kPressedInside);
    EXPECT_FALSE(panel.press().leftUp(panel.cells(), { 41, 20 * 3 }).perform);
    EXPECT_EQ(panel.cells()[6].state, ButtonState::kUp);
}

TEST_F(SoundList, RightClickOnRowFiveThenCopyCopiesSoundFive)
{
    Name(5, u"five.wav");
    doc.project()->sounds[5].volume = 555;
    Name(2, u"two.wav");
    panel.update(doc.project());
    ASSERT_TRUE(panel.setCurrentSound(2));

    EXPECT_TRUE(panel.rightDown({ 300, 20 * 5 + 10 }));
    EXPECT_EQ(panel.currentSound(), 5u);
    EXPECT_EQ(NameCell(5).colour2, kLightBlue);
    EXPECT_EQ(NameCell(2).colour2, kWhite);
    EXPECT_TRUE(panel.press().rightUp()); // the pop-up menu opens here
    RunSoundListCommand(SoundListCommand::kCopy, doc, ui, clipboard, panel.currentSound());

    ASSERT_TRUE(clipboard.content);
    const auto block = editing::ReadSoundBlock(*clipboard.content);
    ASSERT_TRUE(block);
    EXPECT_EQ(NameText(block->fileName), u"five.wav");
    EXPECT_EQ(block->words[0], 555u);
}

TEST_F(SoundList, PasteReplacesTheCurrentSoundFromASoundBlockOnly)
{
    Name(5, u"five.wav");
    RunSoundListCommand(SoundListCommand::kCopy, doc, ui, clipboard, 5);
    EXPECT_TRUE(SoundListCommandEnabled(SoundListCommand::kPaste, clipboard));
    RunSoundListCommand(SoundListCommand::kPaste, doc, ui, clipboard, 8);
    EXPECT_EQ(NameText(doc.project()->sounds[8].fileName), u"five.wav");
    EXPECT_EQ(vellisto::testing::UndoSteps(doc), 1u);

    // An events block, a cut sound block and an empty clipboard paste nothing.
    const Event event { kEventExists, 0, 0, 1, 2, 3 };
    for (auto content : { std::optional(editing::WriteEventsBlock({ &event, 1 })),
             std::optional(std::vector<std::uint8_t>(
                 clipboard.content->begin(), clipboard.content->begin() + 571)),
             std::optional<std::vector<std::uint8_t>>() }) {
        clipboard.content = content;
        EXPECT_FALSE(SoundListCommandEnabled(SoundListCommand::kPaste, clipboard));
        RunSoundListCommand(SoundListCommand::kPaste, doc, ui, clipboard, 9);
        EXPECT_TRUE(doc.project()->sounds[9].empty());
    }
    EXPECT_EQ(vellisto::testing::UndoSteps(doc), 1u);
    EXPECT_TRUE(SoundListCommandEnabled(SoundListCommand::kCopy, clipboard));
    EXPECT_TRUE(SoundListCommandEnabled(SoundListCommand::kErase, clipboard));
}

TEST(SoundListTitle, NamesTheDocument)
{
    EXPECT_EQ(SoundListTitle(u"demo.spj"), u"Sound List [demo.spj]");
    EXPECT_EQ(SoundListTitle(u"100%s.spj"), u"Sound List [100%s.spj]");
}
