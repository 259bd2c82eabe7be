// SPDX-License-Identifier: MIT
#pragma once

// A panel whose text lines are pressed like buttons (the settings and sound
// settings windows): a left press on any cell is tracked as a button press,
// a double click counts as a press, and a right click that is not blocked by
// a left press opens the view's pop-up menu.

#include "ui/PanelWidget.h"

#include <QPoint>

namespace vellisto::ui {

class LinePanelWidget : public PanelWidget {
public:
    using PanelWidget::PanelWidget;

protected:
    // The view's pop-up menu at a global screen position.
    virtual void showPopupMenu(const QPoint& globalPosition) = 0;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vellisto::ui
