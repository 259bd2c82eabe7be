// SPDX-License-Identifier: MIT
#include "views/AppCommands.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vellisto::views;

namespace {

// A menu as lines: "Title", then its items indented; separators as "-", the
// recent-file list as "<recent>", submenus indented further.
void Flatten(
    std::span<const MenuEntry> entries, const std::string& indent, std::vector<std::string>& lines)
{
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntryKind::kCommand:
            lines.push_back(indent + std::string(entry.text));
            break;
        case MenuEntryKind::kSeparator:
            lines.push_back(indent + "-");
            break;
        case MenuEntryKind::kRecentFiles:
            lines.push_back(indent + "<recent>");
            break;
        case MenuEntryKind::kSubmenu:
            lines.push_back(indent + std::string(entry.text) + ">");
            Flatten(entry.submenu, indent + "  ", lines);
            break;
        }
    }
}

std::vector<std::string> Lines(MenuSet set)
{
    std::vector<std::string> lines;
    for (const Menu& menu : MainMenus(set)) {
        lines.push_back(std::string(menu.title));
        Flatten(menu.entries, "  ", lines);
    }
    return lines;
}

class FakeView final : public CommandHandler {
public:
    std::map<CommandId, CommandStatus> handled;
    std::optional<CommandStatus> commandStatus(CommandId id) const override
    {
        const auto found = handled.find(id);
        if (found == handled.end())
            return std::nullopt;
        return found->second;
    }
    void runCommand(CommandId) override { }
};

} // namespace

TEST(AppCommands, MenusWithoutADocumentHoldEveryItemInOrder)
{
    const std::vector<std::string> expected { "&File", "  &New\tCtrl+N(&N)",
        "  &Open...\tCtrl+O(&O)", "  Standard &BMS Chart Rules", "  -", "  <recent>", "  -",
        "  &Close", "  E&xit", "&View", "  &Toolbar", "  &Status Bar", "&Help", "  &About..." };
    EXPECT_EQ(Lines(MenuSet::kNoDocument), expected);
}

TEST(AppCommands, MenusWithADocumentHoldEveryItemInOrder)
{
    const std::vector<std::string> expected { "&File", "  &New\tCtrl+N(&N)",
        "  &Open...\tCtrl+O(&O)", "  Standard &BMS Chart Rules", "  &Close", "  &Save\tCtrl+S",
        "  Save &As...", "  -", "  <recent>", "  -", "  E&xit", "&Edit", "  &Undo\tCtrl+Z",
        "  &Redo\tCtrl+Y", "  -", "  Cu&t\tCtrl+X", "  &Copy\tCtrl+C", "  &Paste\tCtrl+V",
        "  &Erase\tDelete", "  -", "  Set &Range and Data...\tCtrl+R",
        "  &Filter Events...\tCtrl+F", "  Stretch &Timelines...\tCtrl+T", "  &Deselect\tCtrl+D",
        "  &Invert Selection\tCtrl+I", "  Open &Window about This Sound\tCtrl+W",
        "  &Adding Events Mode\tEsc", "&View", "  &Toolbar", "  &Status Bar", "  -",
        "  Show by the &Sample\tShift+S", "  Show &Normalized Values\tShift+N",
        "  Zoom &In\tShift+I", "  Zoom &Out\tShift+O", "  Show &Beginning of the Loop\tShift+B",
        "  Show &End of the Loop\tShift+E", "  Event &Graph>", "    &Automatic", "    Play(&0)>",
        "      Vol(&1)", "      Pit(&2)", "    Stop(&1)", "    Volume(&3)", "    Balance(&4)",
        "    Stress(&5)", "    Pitch(&6)", "&Window", "  &New Window", "  &Cascade", "  &Tile",
        "  &Arrange Icons", "&Help", "  &About..." };
    EXPECT_EQ(Lines(MenuSet::kDocument), expected);
}

TEST(AppCommands, AcceleratorsAndTheProgramsOwnCommandNumbers)
{
    // Keys -> command, as the accelerator table gives them (F6 moves between
    // panes, which no view has).
    const std::map<std::string, CommandId> expected {
        { "Esc", CommandId::kAddingEventsMode },
        { "Ctrl+D", CommandId::kDeselect },
        { "Del", CommandId::kEditErase },
        { "Ctrl+C", CommandId::kEditCopy },
        { "Ctrl+Ins", CommandId::kEditCopy },
        { "Ctrl+X", CommandId::kEditCut },
        { "Shift+Del", CommandId::kEditCut },
        { "Ctrl+V", CommandId::kEditPaste },
        { "Shift+Ins", CommandId::kEditPaste },
        { "Ctrl+Z", CommandId::kEditUndo },
        { "Alt+Backspace", CommandId::kEditUndo },
        { "Ctrl+Y", CommandId::kEditRedo },
        { "Ctrl+N", CommandId::kFileNew },
        { "Ctrl+O", CommandId::kFileOpen },
        { "Ctrl+S", CommandId::kFileSave },
        { "Ctrl+F", CommandId::kFilterEvents },
        { "Ctrl+R", CommandId::kSetRangeAndData },
        { "Ctrl+I", CommandId::kInvertSelection },
        { "Ctrl+T", CommandId::kStretchTimelines },
        { "Ctrl+W", CommandId::kOpenSoundWindow },
        { "Shift+S", CommandId::kShowBySample },
        { "Shift+N", CommandId::kShowNormalized },
        { "Shift+I", CommandId::kZoomIn },
        { "Shift+O", CommandId::kZoomOut },
        { "Shift+B", CommandId::kShowLoopBegin },
        { "Shift+E", CommandId::kShowLoopEnd },
    };
    std::map<std::string, CommandId> actual;
    for (const CommandInfo& info : AllCommands())
        for (const std::string_view key : info.keys)
            EXPECT_TRUE(actual.emplace(std::string(key), info.id).second) << key << " twice";
    EXPECT_EQ(actual, expected);

    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kSetRangeAndData), 32772u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kAddingEventsMode), 32778u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kGraphAutomatic), 32785u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kGraphPitch), 32792u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kStandardChartRules), 32793u);
    EXPECT_FALSE(IsViewCommand(CommandId::kStandardChartRules));
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kEditCopy), 57634u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kEditPaste), 57637u);
    EXPECT_EQ(static_cast<std::uint32_t>(CommandId::kEditErase), 57632u);
}

TEST(AppCommands, EveryItemAndButtonHasAPromptAndATooltip)
{
    std::set<CommandId> used;
    const auto collect = [&](auto&& self, std::span<const MenuEntry> entries) -> void {
        for (const MenuEntry& entry : entries) {
            if (entry.kind == MenuEntryKind::kCommand)
                used.insert(entry.command);
            if (entry.kind == MenuEntryKind::kSubmenu)
                self(self, entry.submenu);
        }
    };
    for (const MenuSet set : { MenuSet::kNoDocument, MenuSet::kDocument })
        for (const Menu& menu : MainMenus(set))
            collect(collect, menu.entries);
    for (const CommandId id : ToolbarCommands())
        if (id != CommandId::kNone)
            used.insert(id);
    for (const CommandId id : used) {
        const CommandInfo* info = FindCommand(id);
        ASSERT_NE(info, nullptr) << static_cast<std::uint32_t>(id);
        EXPECT_FALSE(info->prompt.empty());
        EXPECT_FALSE(info->tooltip.empty());
    }
    EXPECT_EQ(FindCommand(CommandId::kSetRangeAndData)->prompt, "Set range and data");
    EXPECT_EQ(FindCommand(CommandId::kSetRangeAndData)->tooltip, "Set Range and Data");
    EXPECT_EQ(FindCommand(static_cast<CommandId>(32771)), nullptr);
    // Every command in the table is reachable from a menu or the toolbar.
    EXPECT_EQ(used.size(), AllCommands().size());
}

TEST(AppCommands, ToolbarButtonsInOrder)
{
    const std::vector<CommandId> expected { CommandId::kFileNew, CommandId::kFileOpen,
        CommandId::kFileSave, CommandId::kNone, CommandId::kEditCut, CommandId::kEditCopy,
        CommandId::kEditPaste, CommandId::kNone, CommandId::kFilePrint, CommandId::kAppAbout };
    const auto toolbar = ToolbarCommands();
    EXPECT_EQ(std::vector<CommandId>(toolbar.begin(), toolbar.end()), expected);
}

TEST(AppCommands, StatesFollowTheDocumentTheViewAndARunningMix)
{
    FakeView view;
    view.handled[CommandId::kEditCopy] = { true, false };
    view.handled[CommandId::kShowBySample] = { true, true };
    view.handled[CommandId::kEditPaste] = { false, false };

    const FrameState none;
    FrameState document;
    document.documentWindow = true;
    document.canUndo = true;
    document.activeView = &view;
    FrameState mixing = document;
    mixing.mixRunning = true;
    FrameState hidden = none;
    hidden.toolbarVisible = false;
    FrameState standard = none;
    standard.standardChartRules = true;
    FrameState mixingStandard = mixing;
    mixingStandard.standardChartRules = true;

    struct Case {
        const char* name;
        const FrameState& state;
        CommandId id;
        CommandStatus expected;
    };
    const Case cases[] = {
        { "new without document", none, CommandId::kFileNew, { true, false } },
        { "open without document", none, CommandId::kFileOpen, { true, false } },
        { "exit without document", none, CommandId::kAppExit, { true, false } },
        { "close without document", none, CommandId::kFileClose, { false, false } },
        { "save without document", none, CommandId::kFileSave, { false, false } },
        { "undo without document", none, CommandId::kEditUndo, { false, false } },
        { "copy without document", none, CommandId::kEditCopy, { false, false } },
        { "toolbar shown", none, CommandId::kViewToolbar, { true, true } },
        { "toolbar hidden", hidden, CommandId::kViewToolbar, { true, false } },
        { "status bar shown", none, CommandId::kViewStatusBar, { true, true } },
        { "print never", document, CommandId::kFilePrint, { false, false } },
        { "save", document, CommandId::kFileSave, { true, false } },
        { "save as", document, CommandId::kFileSaveAs, { true, false } },
        { "close", document, CommandId::kFileClose, { true, false } },
        { "undo possible", document, CommandId::kEditUndo, { true, false } },
        { "redo impossible", document, CommandId::kEditRedo, { false, false } },
        { "view handles copy", document, CommandId::kEditCopy, { true, false } },
        { "view checks by sample", document, CommandId::kShowBySample, { true, true } },
        { "view disables paste", document, CommandId::kEditPaste, { false, false } },
        { "view lacks zoom", document, CommandId::kZoomIn, { false, false } },
        { "cascade", document, CommandId::kWindowCascade, { true, false } },
        { "mix: save", mixing, CommandId::kFileSave, { false, false } },
        { "mix: close", mixing, CommandId::kFileClose, { false, false } },
        { "mix: new", mixing, CommandId::kFileNew, { false, false } },
        { "mix: exit", mixing, CommandId::kAppExit, { false, false } },
        { "mix: undo", mixing, CommandId::kEditUndo, { false, false } },
        { "mix: view command", mixing, CommandId::kEditCopy, { false, false } },
        { "mix: about", mixing, CommandId::kAppAbout, { true, false } },
        { "chart rules as designed", document, CommandId::kStandardChartRules, { true, false } },
        { "standard chart rules", standard, CommandId::kStandardChartRules, { true, true } },
        // Only charts opened later are concerned, so a mix does not stop the choice.
        { "mix: chart rules", mixingStandard, CommandId::kStandardChartRules, { true, true } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameCommandStatus(c.id, c.state), c.expected) << c.name;

    // Without a view that handles them, the view commands are all disabled.
    FrameState plainView = document;
    plainView.activeView = nullptr;
    for (const CommandInfo& info : AllCommands()) {
        if (IsViewCommand(info.id)) {
            EXPECT_FALSE(FrameCommandStatus(info.id, plainView).enabled)
                << static_cast<std::uint32_t>(info.id);
        }
    }
}
