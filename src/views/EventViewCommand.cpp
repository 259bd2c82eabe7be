// SPDX-License-Identifier: MIT
#include "views/EventViewCommand.h"

#include "editing/ClipboardCommands.h"

namespace vellisto::views {

std::optional<EventViewCommand> EventViewCommandOf(std::uint32_t number)
{
    switch (static_cast<EventViewCommand>(number)) {
    case EventViewCommand::kErase:
    case EventViewCommand::kCopy:
    case EventViewCommand::kCut:
    case EventViewCommand::kPaste:
    case EventViewCommand::kSetRangeAndData:
    case EventViewCommand::kFilterEvents:
    case EventViewCommand::kStretchTimelines:
    case EventViewCommand::kDeselect:
    case EventViewCommand::kInvertSelection:
    case EventViewCommand::kOpenSoundWindow:
    case EventViewCommand::kAddingEventsMode:
    case EventViewCommand::kShowBySample:
    case EventViewCommand::kShowNormalized:
    case EventViewCommand::kZoomIn:
    case EventViewCommand::kZoomOut:
    case EventViewCommand::kGraphAutomatic:
    case EventViewCommand::kGraphPlayVolume:
    case EventViewCommand::kGraphPlayPitch:
    case EventViewCommand::kGraphStop:
    case EventViewCommand::kGraphVolume:
    case EventViewCommand::kGraphBalance:
    case EventViewCommand::kGraphStress:
    case EventViewCommand::kGraphPitch:
        return static_cast<EventViewCommand>(number);
    }
    return std::nullopt;
}

bool IsSharedEventCommand(EventViewCommand command)
{
    switch (command) {
    case EventViewCommand::kErase:
    case EventViewCommand::kCopy:
    case EventViewCommand::kPaste:
    case EventViewCommand::kSetRangeAndData:
    case EventViewCommand::kFilterEvents:
    case EventViewCommand::kStretchTimelines:
    case EventViewCommand::kDeselect:
    case EventViewCommand::kInvertSelection:
    case EventViewCommand::kOpenSoundWindow:
        return true;
    default:
        return false;
    }
}

bool RunSharedEventCommand(
    EventViewCommand command, const editing::EditContext& context, Clipboard& clipboard)
{
    switch (command) {
    case EventViewCommand::kErase:
        editing::Erase(context);
        return true;
    case EventViewCommand::kCopy:
        editing::CopySelectedEvents(context, clipboard);
        return true;
    case EventViewCommand::kPaste:
        editing::PasteEvents(context, clipboard);
        return true;
    case EventViewCommand::kSetRangeAndData:
        editing::SetRangeAndData(context);
        return true;
    case EventViewCommand::kFilterEvents:
        editing::FilterEvents(context);
        return true;
    case EventViewCommand::kStretchTimelines:
        editing::StretchTimelines(context);
        return true;
    case EventViewCommand::kDeselect:
        editing::Deselect(context);
        return true;
    case EventViewCommand::kInvertSelection:
        editing::InvertSelection(context);
        return true;
    case EventViewCommand::kOpenSoundWindow:
        editing::OpenWindowAboutThisSound(context);
        return true;
    default:
        return false;
    }
}

} // namespace vellisto::views
