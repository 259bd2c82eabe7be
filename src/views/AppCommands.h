// SPDX-License-Identifier: MIT
#pragma once

// The desktop program's commands as the main window offers them: command
// numbers, status-bar prompts and tooltips, accelerators, the two menu sets
// (no document open, and a document's window active), the toolbar, and which
// command is enabled or checked in which state. The front end builds its
// menus, toolbar and shortcuts from these tables and asks
// FrameCommandStatus before it shows them. User-interface thread only.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vellisto::views {

// Standard commands carry the usual framework numbers; the program's own
// commands are numbered from 32772.
enum class CommandId : std::uint32_t {
    kNone = 0,
    kFileNew = 0xE100,
    kFileOpen = 0xE101,
    kFileClose = 0xE102,
    kFileSave = 0xE103,
    kFileSaveAs = 0xE104,
    kFilePrint = 0xE107,
    kEditErase = 0xE120,
    kEditCopy = 0xE122,
    kEditCut = 0xE123,
    kEditPaste = 0xE125,
    kEditUndo = 0xE12B,
    kEditRedo = 0xE12C,
    kWindowNew = 0xE130,
    kWindowArrange = 0xE131,
    kWindowCascade = 0xE132,
    kWindowTile = 0xE133,
    kAppAbout = 0xE140,
    kAppExit = 0xE141,
    kViewToolbar = 0xE800,
    kViewStatusBar = 0xE801,
    kSetRangeAndData = 32772,
    kFilterEvents = 32773,
    kStretchTimelines = 32774,
    kDeselect = 32775,
    kInvertSelection = 32776,
    kOpenSoundWindow = 32777,
    kAddingEventsMode = 32778,
    kShowBySample = 32779,
    kShowNormalized = 32780,
    kZoomIn = 32781,
    kZoomOut = 32782,
    kShowLoopBegin = 32783,
    kShowLoopEnd = 32784,
    kGraphAutomatic = 32785,
    kGraphPlayVolume = 32786,
    kGraphPlayPitch = 32787,
    kGraphStop = 32788,
    kGraphVolume = 32789,
    kGraphBalance = 32790,
    kGraphStress = 32791,
    kGraphPitch = 32792,
    kStandardChartRules = 32793, // BMS charts opened from now on follow the standard rules
};

// A command's texts: the status-bar prompt, the tooltip, and its keys in
// portable key-sequence text ("Ctrl+C", "Shift+Ins").
struct CommandInfo {
    CommandId id;
    std::string_view prompt;
    std::string_view tooltip;
    std::span<const std::string_view> keys;
};

// Every command of the menus and the toolbar, in command-number order.
std::span<const CommandInfo> AllCommands();
// nullptr for a number that is not a command.
const CommandInfo* FindCommand(CommandId id);

// True for the Edit and View commands that only the active view handles.
bool IsViewCommand(CommandId id);

// A menu item: a command with its text (the text after '\t' is the key
// shown), a separator, the place of the recent-file list, or a submenu.
enum class MenuEntryKind { kCommand, kSeparator, kRecentFiles, kSubmenu };
struct MenuEntry {
    MenuEntryKind kind;
    std::string_view text;
    CommandId command = CommandId::kNone;
    std::span<const MenuEntry> submenu = {};
};
struct Menu {
    std::string_view title;
    std::span<const MenuEntry> entries;
};

enum class MenuSet {
    kNoDocument, // the main window without a document window
    kDocument, // a window of a project document is active
};
std::span<const Menu> MainMenus(MenuSet set);

// The toolbar's buttons in order; kNone stands for a separator.
std::span<const CommandId> ToolbarCommands();

// What a view that handles Edit or View commands tells the main window.
struct CommandStatus {
    bool enabled = false;
    bool checked = false;
    friend bool operator==(const CommandStatus&, const CommandStatus&) = default;
};
class CommandHandler {
public:
    virtual ~CommandHandler() = default;
    // nullopt when the view does not handle the command (it is then disabled).
    virtual std::optional<CommandStatus> commandStatus(CommandId id) const = 0;
    // Runs a command for which commandStatus reported enabled.
    virtual void runCommand(CommandId id) = 0;
};

// The main window's state that decides the commands' states.
struct FrameState {
    bool documentWindow = false; // a window of a document is active
    bool canUndo = false; // of the active document
    bool canRedo = false;
    bool mixRunning = false; // nothing may change, save or close a document meanwhile
    bool toolbarVisible = true;
    bool statusBarVisible = true;
    bool standardChartRules = false; // the remembered choice of how BMS charts are read
    const CommandHandler* activeView = nullptr; // the active window's view, when it handles any
};
CommandStatus FrameCommandStatus(CommandId id, const FrameState& state);

} // namespace vellisto::views
