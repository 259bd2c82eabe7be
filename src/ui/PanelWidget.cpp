// SPDX-License-Identifier: MIT
#include "ui/PanelWidget.h"

#include "ui/PanelPainter.h"
#include "ui/ViewFont.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vellisto::ui {

namespace {

    // Arrow keys and the scroll bar arrows move 20 pixels, one row of cells.
    constexpr int kLineStep = 20;

} // namespace

PanelWidget::PanelWidget(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setFont(ViewFont());
    // Every pixel is painted in paintEvent: the cells, and white between them.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(kLineStep);
    verticalScrollBar()->setSingleStep(kLineStep);
}

void PanelWidget::setCells(std::vector<views::PanelCell> cells)
{
    cancelPress();
    m_cells = std::move(cells);
    viewport()->update();
}

void PanelWidget::setDocumentSize(QSize size)
{
    m_documentSize = size;
    updateScrollBars();
    viewport()->update();
}

void PanelWidget::setInitialClientSize(QSize size)
{
    m_initialClientSize = size;
    updateGeometry();
}

QPoint PanelWidget::scrollPosition() const
{
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

views::PanelPoint PanelWidget::documentPoint(QPoint widgetPoint) const
{
    const QPoint point = widgetPoint + scrollPosition();
    return views::PanelPoint { point.x(), point.y() };
}

void PanelWidget::redrawCell(std::size_t index)
{
    const std::span<views::PanelCell> cells = panelCells();
    if (index >= cells.size())
        return;
    const QRect rect = CellRectOnWidget(cells[index], scrollPosition()) & viewport()->rect();
    if (!rect.isEmpty())
        viewport()->repaint(rect);
}

std::span<views::PanelCell> PanelWidget::panelCells() { return m_cells; }

views::PanelPress& PanelWidget::panelPress() { return m_press; }

void PanelWidget::performCell(std::size_t index, bool ctrl) { emit cellPerformed(index, ctrl); }

bool PanelWidget::panelKey(QKeyEvent*) { return false; }

QSize PanelWidget::sizeHint() const
{
    if (!m_initialClientSize.isValid())
        return QAbstractScrollArea::sizeHint();
    return widgetSizeFor(m_initialClientSize);
}

QSize PanelWidget::widgetSizeFor(QSize client) const
{
    // The client area leaves out the frame and any scroll bar the document
    // needs at that size.
    const int frame = 2 * frameWidth();
    QSize size = client + QSize(frame, frame);
    if (m_documentSize.height() > client.height())
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    if (m_documentSize.width() > client.width())
        size.rheight() += horizontalScrollBar()->sizeHint().height();
    return size;
}

void PanelWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font());
    const QPoint scroll = scrollPosition();
    for (const views::PanelCell& cell : panelCells())
        DrawPanelCell(painter, cell, scroll, event->rect());
}

void PanelWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PanelWidget::scrollContentsBy(int, int) { viewport()->update(); }

void PanelWidget::mousePressEvent(QMouseEvent* event)
{
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        apply(panelPress().leftDown(
            panelCells(), point, event->modifiers().testFlag(Qt::ControlModifier)));
    else if (event->button() == Qt::RightButton)
        panelPress().rightDown();
    event->accept();
}

void PanelWidget::mouseMoveEvent(QMouseEvent* event)
{
    apply(panelPress().move(panelCells(), documentPoint(event->position().toPoint())));
    event->accept();
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        apply(panelPress().leftUp(panelCells(), documentPoint(event->position().toPoint())));
    else if (event->button() == Qt::RightButton)
        panelPress().rightUp();
    event->accept();
}

void PanelWidget::keyPressEvent(QKeyEvent* event)
{
    if (panelPress().tracking()) {
        event->accept();
        return;
    }
    if (!panelKey(event))
        QAbstractScrollArea::keyPressEvent(event);
}

void PanelWidget::hideEvent(QHideEvent* event)
{
    cancelPress();
    QAbstractScrollArea::hideEvent(event);
}

void PanelWidget::changeEvent(QEvent* event)
{
    // A press cannot complete once the window has lost the pointer to another.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        cancelPress();
    QAbstractScrollArea::changeEvent(event);
}

void PanelWidget::apply(const views::PressChange& change)
{
    if (change.redraw)
        redrawCell(*change.redraw);
    if (change.perform)
        performCell(*change.perform, panelPress().ctrlHeld());
}

void PanelWidget::cancelPress()
{
    const views::PressChange change = panelPress().cancel(panelCells());
    if (change.redraw)
        redrawCell(*change.redraw);
}

void PanelWidget::updateScrollBars()
{
    // Decide the bars from the whole area without them, not from the
    // viewport's current size, which bars shown before may have reduced.
    const QSize whole = maximumViewportSize();
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    bool vertical = m_documentSize.height() > whole.height();
    bool horizontal = m_documentSize.width() > whole.width();
    if (vertical && !horizontal)
        horizontal = m_documentSize.width() > whole.width() - barWidth;
    if (horizontal && !vertical)
        vertical = m_documentSize.height() > whole.height() - barHeight;
    const QSize client = whole - QSize(vertical ? barWidth : 0, horizontal ? barHeight : 0);
    horizontalScrollBar()->setRange(0, std::max(0, m_documentSize.width() - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, std::max(0, m_documentSize.height() - client.height()));
    verticalScrollBar()->setPageStep(client.height());
}

} // namespace vellisto::ui
