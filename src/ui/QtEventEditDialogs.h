// SPDX-License-Identifier: MIT
#pragma once

// The three event edit dialogs of the desktop program: each runs modally
// over the parent window and hands back what was entered on OK.

#include "editing/EditDialogs.h"

class QWidget;

namespace vellisto::ui {

class QtEventEditDialogs : public EventEditDialogs {
public:
    explicit QtEventEditDialogs(QWidget* parent = nullptr);

    // The window the dialogs open over (none: a top-level dialog).
    void setParent(QWidget* parent) { m_parent = parent; }

    bool editRangeAndData(RangeEditValues& values) override;
    bool editFilter(FilterEditValues& values) override;
    bool editTimeStretch(TimeStretchValues& values) override;

private:
    QWidget* m_parent;
};

} // namespace vellisto::ui
