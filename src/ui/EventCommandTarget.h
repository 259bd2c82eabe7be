// SPDX-License-Identifier: MIT
#pragma once

// What the main frame asks of the active view for the Edit and View menu
// commands the track views answer: the state of a menu item (enabled,
// checked) and carrying a command out. A view enables only what it handles.

#include "views/EventViewCommand.h"

namespace vellisto::ui {

class EventCommandTarget {
public:
    virtual ~EventCommandTarget() = default;
    virtual views::CommandState commandState(views::EventViewCommand command) const = 0;
    // False, doing nothing, for a command the view does not handle or has disabled.
    virtual bool runCommand(views::EventViewCommand command) = 0;
};

} // namespace vellisto::ui
