// SPDX-License-Identifier: MIT
#include "ui/LinePanelWidget.h"

#include <QMouseEvent>

namespace vellisto::ui {

void LinePanelWidget::mousePressEvent(QMouseEvent* event)
{
    // Lines are pressed like buttons: a click on one edits its setting.
    if (event->button() == Qt::LeftButton) {
        const views::PressChange change = panelPress().leftDownOnAnyCell(panelCells(),
            documentPoint(event->position().toPoint()),
            event->modifiers().testFlag(Qt::ControlModifier));
        if (change.redraw)
            redrawCell(*change.redraw);
    } else if (event->button() == Qt::RightButton) {
        panelPress().rightDown();
    }
    event->accept();
}

void LinePanelWidget::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void LinePanelWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (panelPress().rightUp())
            showPopupMenu(event->globalPosition().toPoint());
        return;
    }
    PanelWidget::mouseReleaseEvent(event);
}

} // namespace vellisto::ui
