// SPDX-License-Identifier: MIT
#pragma once

// Stand-ins for the services whose desktop versions are not part of this
// build yet: a clipboard that never holds a block (so Paste finds nothing
// and Copy reports that it could not write), and event edit dialogs that
// answer Cancel, so that the edit commands change nothing. The main frame
// holds one of each; a real implementation replaces the member's type.

#include "editing/EditDialogs.h"
#include "model/Clipboard.h"

namespace vellisto::ui {

class EventEditDialogsNotAvailable final : public EventEditDialogs {
public:
    bool editRangeAndData(RangeEditValues&) override { return false; }
    bool editFilter(FilterEditValues&) override { return false; }
    bool editTimeStretch(TimeStretchValues&) override { return false; }
};

} // namespace vellisto::ui
