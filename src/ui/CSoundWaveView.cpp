// SPDX-License-Identifier: MIT
#include "ui/CSoundWaveView.h"

#include "ui/PanelPainter.h"
#include "ui/QtText.h"
#include "ui/ViewWindow.h"
#include "views/PanelText.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vellisto::ui {

namespace {

    // A coordinate relative to the window, kept a little outside it when far
    // away so that painting never overflows.
    int Relative(std::int32_t content, std::int32_t scroll, int extent)
    {
        return static_cast<int>(std::clamp<std::int64_t>(
            std::int64_t { content } - scroll, -2, std::int64_t { extent } + 2));
    }

    // A vertical or horizontal line from its start toward its end, the end
    // pixel itself left out, as a one-pixel-wide rectangle.
    void DrawLine(QPainter& painter, const views::WaveformDraw& line, QPoint scroll, QSize size)
    {
        const int x0 = Relative(line.x0, scroll.x(), size.width());
        const int y0 = Relative(line.y0, scroll.y(), size.height());
        const int x1 = Relative(line.x1, scroll.x(), size.width());
        const int y1 = Relative(line.y1, scroll.y(), size.height());
        QRect rect;
        if (x0 == x1) {
            if (y0 == y1)
                return;
            rect = y1 > y0 ? QRect(x0, y0, 1, y1 - y0) : QRect(x0, y1 + 1, 1, y0 - y1);
        } else {
            rect = x1 > x0 ? QRect(x0, y0, x1 - x0, 1) : QRect(x1 + 1, y0, x0 - x1, 1);
        }
        painter.fillRect(rect, ToQColor(line.colour));
    }

} // namespace

CSoundWaveView::CSoundWaveView(
    Ctest122Doc& document, ViewServices&, std::uint32_t number, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_panel(number)
{
    setInitialClientSize(QSize(views::kWaveClientWidth, views::kWaveClientHeight));
    m_document.addView(*this);
    refresh();
}

CSoundWaveView::~CSoundWaveView() { m_document.removeView(*this); }

void CSoundWaveView::OnUpdate(UpdateHint hint)
{
    // Events and other sounds leave this sound's samples as they were.
    if (hint.scope == UpdateScope::kTrack
        || (hint.scope == UpdateScope::kSound && hint.index != m_panel.soundId()))
        return;
    refresh();
}

void CSoundWaveView::OnDocumentStateChanged() { updateTitle(); }

void CSoundWaveView::updateTitle()
{
    setWindowTitle(FromUtf16(views::WaveformTitle(m_panel.soundId(), DocumentTitle(m_document))));
}

void CSoundWaveView::refresh()
{
    m_panel.update(m_document.project(), m_document.pathName());
    setDocumentSize(QSize(m_panel.contentWidth(), m_panel.contentHeight()));
    updateTitle();
    viewport()->update();
}

void CSoundWaveView::runCommand(views::WaveformCommand command)
{
    const views::WaveformPanel::CommandResult result = m_panel.runCommand(command);
    if (result.refresh)
        refresh();
    if (result.scrollX) {
        // The bar keeps the position inside its range.
        const auto x
            = std::clamp<std::int64_t>(*result.scrollX, 0, horizontalScrollBar()->maximum());
        horizontalScrollBar()->setValue(static_cast<int>(x));
    }
}

void CSoundWaveView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font());
    const QPoint scroll = scrollPosition();
    const QSize size = viewport()->size();
    m_panel.buildScene(scroll.x(), scroll.y(), size.width(), size.height(), m_scene);
    const int lineHeight = views::kViewLineHeight;
    for (const views::WaveformDraw& draw : m_scene.draws) {
        if (draw.kind == views::WaveformDraw::Kind::kLine) {
            DrawLine(painter, draw, scroll, size);
            continue;
        }
        const std::int64_t x = std::int64_t { draw.x0 } - scroll.x();
        const std::int64_t y = std::int64_t { draw.y0 } - scroll.y();
        // Texts are short: one that starts a window away cannot show.
        if (x < -size.width() || x > size.width() || y < -lineHeight || y > size.height())
            continue;
        painter.setPen(ToQColor(draw.colour));
        painter.drawText(QRect(static_cast<int>(x), static_cast<int>(y), size.width(), lineHeight),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, FromUtf8(draw.text));
    }
    if (m_scene.infoBox)
        DrawPanelCell(painter, *m_scene.infoBox, scroll, event->rect());
}

void CSoundWaveView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const views::PanelPoint point = documentPoint(event->position().toPoint());
        if (m_panel.leftDown(point.x, point.y))
            viewport()->update();
    } else if (event->button() == Qt::RightButton) {
        m_panel.rightDown();
    }
    event->accept();
}

void CSoundWaveView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CSoundWaveView::mouseMoveEvent(QMouseEvent* event)
{
    // Moving the mouse never moves the cursor.
    event->accept();
}

void CSoundWaveView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_panel.leftUp();
    } else if (event->button() == Qt::RightButton) {
        if (m_panel.rightUp())
            showPopupMenu(event->globalPosition().toPoint());
    }
    event->accept();
}

void CSoundWaveView::keyPressEvent(QKeyEvent* event)
{
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        PanelWidget::keyPressEvent(event);
        return;
    }
    if (m_panel.moveCursor(dx, dy))
        viewport()->update();
    event->accept();
}

void CSoundWaveView::showPopupMenu(const QPoint& globalPosition)
{
    QMenu menu(this);
    for (const views::WaveformMenuItem& item : m_panel.menu()) {
        QAction* action = menu.addAction(FromUtf8(item.text));
        const bool checkable = item.command == views::WaveformCommand::kShowBySample
            || item.command == views::WaveformCommand::kShowNormalized;
        action->setCheckable(checkable);
        action->setChecked(item.checked);
        action->setEnabled(item.enabled);
        action->setData(static_cast<uint>(item.command));
    }
    if (QAction* chosen = menu.exec(globalPosition))
        runCommand(static_cast<views::WaveformCommand>(chosen->data().toUInt()));
}

} // namespace vellisto::ui
