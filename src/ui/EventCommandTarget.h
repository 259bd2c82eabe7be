// SPDX-License-Identifier: MIT
#pragma once

// What the main frame asks of the active view for the Edit and View menu
// commands the track views answer: the state of a menu item (enabled,
// checked) and carrying a command out. A view enables only what it handles.

#include "views/AppCommands.h"
#include "views/EventViewCommand.h"

#include <cstdint>
#include <optional>

namespace vellisto::ui {

class EventCommandTarget : public views::CommandHandler {
public:
    virtual views::CommandState commandState(views::EventViewCommand command) const = 0;
    // False, doing nothing, for a command the view does not handle or has disabled.
    virtual bool runCommand(views::EventViewCommand command) = 0;

    // The main frame's menus and toolbar: the same numbers name the same commands.
    std::optional<views::CommandStatus> commandStatus(views::CommandId id) const final
    {
        const auto command = views::EventViewCommandOf(static_cast<std::uint32_t>(id));
        if (!command)
            return std::nullopt;
        const views::CommandState state = commandState(*command);
        return views::CommandStatus { state.enabled, state.checked };
    }
    void runCommand(views::CommandId id) final
    {
        if (const auto command = views::EventViewCommandOf(static_cast<std::uint32_t>(id)))
            runCommand(*command);
    }
};

} // namespace vellisto::ui
