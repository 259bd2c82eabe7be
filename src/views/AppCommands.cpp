// SPDX-License-Identifier: MIT
#include "views/AppCommands.h"

#include <algorithm>
#include <array>

namespace vellisto::views {

namespace {

    using Keys = std::span<const std::string_view>;

    constexpr std::string_view kNewKeys[] = { "Ctrl+N" };
    constexpr std::string_view kOpenKeys[] = { "Ctrl+O" };
    constexpr std::string_view kSaveKeys[] = { "Ctrl+S" };
    constexpr std::string_view kEraseKeys[] = { "Del" };
    constexpr std::string_view kCopyKeys[] = { "Ctrl+C", "Ctrl+Ins" };
    constexpr std::string_view kCutKeys[] = { "Ctrl+X", "Shift+Del" };
    constexpr std::string_view kPasteKeys[] = { "Ctrl+V", "Shift+Ins" };
    constexpr std::string_view kUndoKeys[] = { "Ctrl+Z", "Alt+Backspace" };
    constexpr std::string_view kRedoKeys[] = { "Ctrl+Y" };
    constexpr std::string_view kRangeKeys[] = { "Ctrl+R" };
    constexpr std::string_view kFilterKeys[] = { "Ctrl+F" };
    constexpr std::string_view kStretchKeys[] = { "Ctrl+T" };
    constexpr std::string_view kDeselectKeys[] = { "Ctrl+D" };
    constexpr std::string_view kInvertKeys[] = { "Ctrl+I" };
    constexpr std::string_view kSoundWindowKeys[] = { "Ctrl+W" };
    constexpr std::string_view kAddingKeys[] = { "Esc" };
    constexpr std::string_view kBySampleKeys[] = { "Shift+S" };
    constexpr std::string_view kNormalizedKeys[] = { "Shift+N" };
    constexpr std::string_view kZoomInKeys[] = { "Shift+I" };
    constexpr std::string_view kZoomOutKeys[] = { "Shift+O" };
    constexpr std::string_view kLoopBeginKeys[] = { "Shift+B" };
    constexpr std::string_view kLoopEndKeys[] = { "Shift+E" };

    // Sorted by command number.
    constexpr CommandInfo kCommands[] = {
        { CommandId::kSetRangeAndData, "Set range and data", "Set Range and Data", kRangeKeys },
        { CommandId::kFilterEvents, "Select events by their values", "Filter Events", kFilterKeys },
        { CommandId::kStretchTimelines, "Stretch the times of events", "Stretch Timelines",
            kStretchKeys },
        { CommandId::kDeselect, "Deselect all events", "Deselect", kDeselectKeys },
        { CommandId::kInvertSelection, "Invert the selection", "Invert Selection", kInvertKeys },
        { CommandId::kOpenSoundWindow, "Open the settings window of the sound of this event",
            "Open Window about This Sound", kSoundWindowKeys },
        { CommandId::kAddingEventsMode, "Switch the adding events mode", "Adding Events Mode",
            kAddingKeys },
        { CommandId::kShowBySample, "Show times as sample counts", "Show by the Sample",
            kBySampleKeys },
        { CommandId::kShowNormalized, "Show volumes, balances and pitches as normalized values",
            "Show Normalized Values", kNormalizedKeys },
        { CommandId::kZoomIn, "Zoom in", "Zoom In", kZoomInKeys },
        { CommandId::kZoomOut, "Zoom out", "Zoom Out", kZoomOutKeys },
        { CommandId::kShowLoopBegin, "Show the beginning of the loop", "Show Beginning of the Loop",
            kLoopBeginKeys },
        { CommandId::kShowLoopEnd, "Show the end of the loop", "Show End of the Loop",
            kLoopEndKeys },
        { CommandId::kGraphAutomatic, "Choose the graph from the events shown", "Automatic", {} },
        { CommandId::kGraphPlayVolume, "Graph the volume of Play events", "Play Volume", {} },
        { CommandId::kGraphPlayPitch, "Graph the pitch of Play events", "Play Pitch", {} },
        { CommandId::kGraphStop, "Graph Stop events", "Stop", {} },
        { CommandId::kGraphVolume, "Graph Volume events", "Volume", {} },
        { CommandId::kGraphBalance, "Graph Balance events", "Balance", {} },
        { CommandId::kGraphStress, "Graph Stress events", "Stress", {} },
        { CommandId::kGraphPitch, "Graph Pitch events", "Pitch", {} },
        { CommandId::kStandardChartRules,
            "Open BMS charts by the rules charts are commonly written for: base-36 sound numbers, "
            "tempo changes, stops, long notes, #RANDOM",
            "Standard BMS Chart Rules", {} },
        { CommandId::kFileNew, "Create a new project", "New", kNewKeys },
        { CommandId::kFileOpen, "Open an existing project, MIDI file or BMS file", "Open",
            kOpenKeys },
        { CommandId::kFileClose, "Close the active project", "Close", {} },
        { CommandId::kFileSave, "Save the active project", "Save", kSaveKeys },
        { CommandId::kFileSaveAs, "Save the active project with a new name", "Save As", {} },
        { CommandId::kFilePrint, "Print the active document", "Print", {} },
        { CommandId::kEditErase, "Erase the selection", "Erase", kEraseKeys },
        { CommandId::kEditCopy, "Copy the selection and put it on the Clipboard", "Copy",
            kCopyKeys },
        { CommandId::kEditCut, "Cut the selection and put it on the Clipboard", "Cut", kCutKeys },
        { CommandId::kEditPaste, "Insert Clipboard contents", "Paste", kPasteKeys },
        { CommandId::kEditUndo, "Undo the last action", "Undo", kUndoKeys },
        { CommandId::kEditRedo, "Redo the previously undone action", "Redo", kRedoKeys },
        { CommandId::kWindowNew, "Open another window for the active project", "New Window", {} },
        { CommandId::kWindowArrange, "Arrange icons at the bottom of the window", "Arrange Icons",
            {} },
        { CommandId::kWindowCascade, "Arrange windows so they overlap", "Cascade Windows", {} },
        { CommandId::kWindowTile, "Arrange windows as non-overlapping tiles", "Tile Windows", {} },
        { CommandId::kAppAbout, "Display program information and version number", "About", {} },
        { CommandId::kAppExit, "Quit the application; asks to save projects", "Exit", {} },
        { CommandId::kViewToolbar, "Show or hide the toolbar", "Toggle Toolbar", {} },
        { CommandId::kViewStatusBar, "Show or hide the status bar", "Toggle Status Bar", {} },
    };

    constexpr MenuEntry Item(std::string_view text, CommandId id)
    {
        return { MenuEntryKind::kCommand, text, id, {} };
    }
    constexpr MenuEntry kSeparator { MenuEntryKind::kSeparator, {}, CommandId::kNone, {} };
    constexpr MenuEntry kRecentFiles { MenuEntryKind::kRecentFiles, {}, CommandId::kNone, {} };

    // Without a document.
    constexpr MenuEntry kPlainFile[] = {
        Item("&New\tCtrl+N(&N)", CommandId::kFileNew),
        Item("&Open...\tCtrl+O(&O)", CommandId::kFileOpen),
        Item("Standard &BMS Chart Rules", CommandId::kStandardChartRules),
        kSeparator,
        kRecentFiles,
        kSeparator,
        Item("&Close", CommandId::kFileClose),
        Item("E&xit", CommandId::kAppExit),
    };
    constexpr MenuEntry kPlainView[] = {
        Item("&Toolbar", CommandId::kViewToolbar),
        Item("&Status Bar", CommandId::kViewStatusBar),
    };
    constexpr MenuEntry kHelp[] = {
        Item("&About...", CommandId::kAppAbout),
    };
    constexpr Menu kPlainMenus[] = {
        { "&File", kPlainFile },
        { "&View", kPlainView },
        { "&Help", kHelp },
    };

    // With a document window active.
    constexpr MenuEntry kDocumentFile[] = {
        Item("&New\tCtrl+N(&N)", CommandId::kFileNew),
        Item("&Open...\tCtrl+O(&O)", CommandId::kFileOpen),
        Item("Standard &BMS Chart Rules", CommandId::kStandardChartRules),
        Item("&Close", CommandId::kFileClose),
        Item("&Save\tCtrl+S", CommandId::kFileSave),
        Item("Save &As...", CommandId::kFileSaveAs),
        kSeparator,
        kRecentFiles,
        kSeparator,
        Item("E&xit", CommandId::kAppExit),
    };
    constexpr MenuEntry kEdit[] = {
        Item("&Undo\tCtrl+Z", CommandId::kEditUndo),
        Item("&Redo\tCtrl+Y", CommandId::kEditRedo),
        kSeparator,
        Item("Cu&t\tCtrl+X", CommandId::kEditCut),
        Item("&Copy\tCtrl+C", CommandId::kEditCopy),
        Item("&Paste\tCtrl+V", CommandId::kEditPaste),
        Item("&Erase\tDelete", CommandId::kEditErase),
        kSeparator,
        Item("Set &Range and Data...\tCtrl+R", CommandId::kSetRangeAndData),
        Item("&Filter Events...\tCtrl+F", CommandId::kFilterEvents),
        Item("Stretch &Timelines...\tCtrl+T", CommandId::kStretchTimelines),
        Item("&Deselect\tCtrl+D", CommandId::kDeselect),
        Item("&Invert Selection\tCtrl+I", CommandId::kInvertSelection),
        Item("Open &Window about This Sound\tCtrl+W", CommandId::kOpenSoundWindow),
        Item("&Adding Events Mode\tEsc", CommandId::kAddingEventsMode),
    };
    constexpr MenuEntry kGraphPlay[] = {
        Item("Vol(&1)", CommandId::kGraphPlayVolume),
        Item("Pit(&2)", CommandId::kGraphPlayPitch),
    };
    constexpr MenuEntry kGraph[] = {
        Item("&Automatic", CommandId::kGraphAutomatic),
        { MenuEntryKind::kSubmenu, "Play(&0)", CommandId::kNone, kGraphPlay },
        Item("Stop(&1)", CommandId::kGraphStop),
        Item("Volume(&3)", CommandId::kGraphVolume),
        Item("Balance(&4)", CommandId::kGraphBalance),
        Item("Stress(&5)", CommandId::kGraphStress),
        Item("Pitch(&6)", CommandId::kGraphPitch),
    };
    constexpr MenuEntry kDocumentView[] = {
        Item("&Toolbar", CommandId::kViewToolbar),
        Item("&Status Bar", CommandId::kViewStatusBar),
        kSeparator,
        Item("Show by the &Sample\tShift+S", CommandId::kShowBySample),
        Item("Show &Normalized Values\tShift+N", CommandId::kShowNormalized),
        Item("Zoom &In\tShift+I", CommandId::kZoomIn),
        Item("Zoom &Out\tShift+O", CommandId::kZoomOut),
        Item("Show &Beginning of the Loop\tShift+B", CommandId::kShowLoopBegin),
        Item("Show &End of the Loop\tShift+E", CommandId::kShowLoopEnd),
        { MenuEntryKind::kSubmenu, "Event &Graph", CommandId::kNone, kGraph },
    };
    constexpr MenuEntry kWindow[] = {
        Item("&New Window", CommandId::kWindowNew),
        Item("&Cascade", CommandId::kWindowCascade),
        Item("&Tile", CommandId::kWindowTile),
        Item("&Arrange Icons", CommandId::kWindowArrange),
    };
    constexpr Menu kDocumentMenus[] = {
        { "&File", kDocumentFile },
        { "&Edit", kEdit },
        { "&View", kDocumentView },
        { "&Window", kWindow },
        { "&Help", kHelp },
    };

    constexpr CommandId kToolbar[] = {
        CommandId::kFileNew,
        CommandId::kFileOpen,
        CommandId::kFileSave,
        CommandId::kNone,
        CommandId::kEditCut,
        CommandId::kEditCopy,
        CommandId::kEditPaste,
        CommandId::kNone,
        CommandId::kFilePrint,
        CommandId::kAppAbout,
    };

} // namespace

std::span<const CommandInfo> AllCommands() { return kCommands; }

const CommandInfo* FindCommand(CommandId id)
{
    const auto* found = std::lower_bound(std::begin(kCommands), std::end(kCommands), id,
        [](const CommandInfo& info, CommandId wanted) { return info.id < wanted; });
    return found != std::end(kCommands) && found->id == id ? found : nullptr;
}

bool IsViewCommand(CommandId id)
{
    switch (id) {
    case CommandId::kEditCut:
    case CommandId::kEditCopy:
    case CommandId::kEditPaste:
    case CommandId::kEditErase:
        return true;
    default:
        return id >= CommandId::kSetRangeAndData && id <= CommandId::kGraphPitch;
    }
}

std::span<const Menu> MainMenus(MenuSet set)
{
    if (set == MenuSet::kNoDocument)
        return kPlainMenus;
    return kDocumentMenus;
}

std::span<const CommandId> ToolbarCommands() { return kToolbar; }

CommandStatus FrameCommandStatus(CommandId id, const FrameState& state)
{
    // While a mix runs its project must stay as it was prepared, and no
    // document may go away or be written.
    const bool free = !state.mixRunning;
    const bool document = state.documentWindow && free;
    if (IsViewCommand(id)) {
        if (!document || state.activeView == nullptr)
            return {};
        return state.activeView->commandStatus(id).value_or(CommandStatus {});
    }
    switch (id) {
    case CommandId::kFileNew:
    case CommandId::kFileOpen:
    case CommandId::kAppExit:
        return { free, false };
    case CommandId::kAppAbout:
        return { true, false };
    case CommandId::kViewToolbar:
        return { true, state.toolbarVisible };
    case CommandId::kViewStatusBar:
        return { true, state.statusBarVisible };
    case CommandId::kStandardChartRules:
        return { true, state.standardChartRules };
    case CommandId::kFileClose:
    case CommandId::kFileSave:
    case CommandId::kFileSaveAs:
    case CommandId::kWindowNew:
        return { document, false };
    case CommandId::kWindowCascade:
    case CommandId::kWindowTile:
    case CommandId::kWindowArrange:
        return { state.documentWindow, false };
    case CommandId::kEditUndo:
        return { document && state.canUndo, false };
    case CommandId::kEditRedo:
        return { document && state.canRedo, false };
    default: // Print has no command
        return {};
    }
}

} // namespace vellisto::views
