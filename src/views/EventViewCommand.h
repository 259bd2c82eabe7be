// SPDX-License-Identifier: MIT
#pragma once

// The Edit and View menu commands that the three track views (track list,
// track edit view, event graph view) answer, numbered as the menus number
// them, with the state a menu item shows (enabled, checked). A view enables
// only the commands it handles; the main frame asks the active view. The
// commands both event views run the same way (clipboard and edit operations)
// are carried out here. User-interface thread only.

#include "editing/EditOperations.h"

#include <cstdint>
#include <optional>

namespace vellisto {
class Clipboard;
}

namespace vellisto::views {

enum class EventViewCommand : std::uint32_t {
    kErase = 57632,
    kCopy = 57634,
    kCut = 57635, // listed in the Edit menu, handled by none of these views
    kPaste = 57637,
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
    kGraphAutomatic = 32785,
    kGraphPlayVolume = 32786,
    kGraphPlayPitch = 32787,
    kGraphStop = 32788,
    kGraphVolume = 32789,
    kGraphBalance = 32790,
    kGraphStress = 32791,
    kGraphPitch = 32792,
};

// The command a menu number names; none for numbers these views never see.
std::optional<EventViewCommand> EventViewCommandOf(std::uint32_t number);

struct CommandState {
    bool enabled = false;
    bool checked = false;
    friend bool operator==(const CommandState&, const CommandState&) = default;
};

// Copy, Paste, Erase and the six edit operations from Set Range and Data to
// Open Window about This Sound: the same in both event views.
bool IsSharedEventCommand(EventViewCommand command);

// Runs a shared command on the context's track and cursor event; false, doing
// nothing, for any other command.
bool RunSharedEventCommand(
    EventViewCommand command, const editing::EditContext& context, Clipboard& clipboard);

} // namespace vellisto::views
