// SPDX-License-Identifier: MIT
#include "ui/CSoundView.h"

#include "ui/PanelPainter.h"
#include "ui/QtText.h"
#include "ui/ViewWindow.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace vellisto::ui {

CSoundView::CSoundView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_services(services)
{
    setDocumentSize(QSize(views::kSoundListWidth, views::kSoundListHeight));
    setInitialClientSize(QSize(views::kSoundListWidth, views::kSoundListClientHeight));
    m_document.addView(*this);
    OnUpdate({});
}

CSoundView::~CSoundView() { m_document.removeView(*this); }

void CSoundView::OnUpdate(UpdateHint)
{
    m_panel.update(m_document.project());
    updateTitle();
    viewport()->update();
}

void CSoundView::OnDocumentStateChanged() { updateTitle(); }

void CSoundView::updateTitle()
{
    setWindowTitle(FromUtf16(views::SoundListTitle(DocumentTitle(m_document))));
}

bool CSoundView::canRunCommand(views::SoundListCommand command)
{
    return m_document.project() != nullptr
        && views::SoundListCommandEnabled(command, m_services.clipboard);
}

void CSoundView::runCommand(views::SoundListCommand command)
{
    views::RunSoundListCommand(
        command, m_document, m_services.messages(), m_services.clipboard, m_panel.currentSound());
}

namespace {

    std::optional<views::SoundListCommand> SoundListCommandOf(views::CommandId id)
    {
        switch (id) {
        case views::CommandId::kEditCopy:
            return views::SoundListCommand::kCopy;
        case views::CommandId::kEditPaste:
            return views::SoundListCommand::kPaste;
        case views::CommandId::kEditErase:
            return views::SoundListCommand::kErase;
        default:
            return std::nullopt;
        }
    }

} // namespace

std::optional<views::CommandStatus> CSoundView::commandStatus(views::CommandId id) const
{
    const auto command = SoundListCommandOf(id);
    if (!command)
        return std::nullopt;
    const bool enabled = m_document.project() != nullptr
        && views::SoundListCommandEnabled(*command, m_services.clipboard);
    return views::CommandStatus { enabled, false };
}

void CSoundView::runCommand(views::CommandId id)
{
    if (const auto command = SoundListCommandOf(id))
        runCommand(*command);
}

void CSoundView::openSound(std::uint32_t soundId)
{
    m_services.opener.openView(m_document, ViewKind::kSoundEdit, soundId);
}

void CSoundView::performCell(std::size_t index, bool)
{
    if (const auto soundId = m_panel.soundOfCell(index))
        openSound(*soundId);
}

bool CSoundView::panelKey(QKeyEvent* event)
{
    using views::SoundListCommand;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    // The Edit menu's keys, for when no menu of the frame took them first.
    if ((modifiers == Qt::ControlModifier && (key == Qt::Key_C || key == Qt::Key_Insert))) {
        runCommand(SoundListCommand::kCopy);
        return true;
    }
    if ((modifiers == Qt::ControlModifier && key == Qt::Key_V)
        || (modifiers == Qt::ShiftModifier && key == Qt::Key_Insert)) {
        runCommand(SoundListCommand::kPaste);
        return true;
    }
    if (modifiers == Qt::NoModifier && key == Qt::Key_Delete) {
        runCommand(SoundListCommand::kErase);
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;

    views::SoundListKey listKey;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        listKey = views::SoundListKey::kEnter;
        break;
    case Qt::Key_Up:
        listKey = views::SoundListKey::kUp;
        break;
    case Qt::Key_Down:
        listKey = views::SoundListKey::kDown;
        break;
    default:
        return false;
    }
    const auto result = m_panel.key(listKey, viewport()->height());
    if (result.openSound)
        openSound(*result.openSound);
    if (result.scrollY) {
        verticalScrollBar()->setValue(*result.scrollY);
        viewport()->update();
    }
    return true;
}

void CSoundView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font());
    const QPoint scroll = scrollPosition();
    // Only the rows that show: 2 of the 2048 cells per row.
    const views::RowRange rows = views::VisibleSoundRows(scroll.y(), viewport()->height());
    const auto& cells = m_panel.cells();
    for (std::size_t row = rows.first; row < rows.last; ++row) {
        DrawPanelCell(painter, cells[2 * row], scroll, event->rect());
        DrawPanelCell(painter, cells[2 * row + 1], scroll, event->rect());
    }
}

void CSoundView::mousePressEvent(QMouseEvent* event)
{
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        bool currentChanged = false;
        const views::PressChange change = m_panel.leftDown(
            point, event->modifiers().testFlag(Qt::ControlModifier), currentChanged);
        if (change.redraw)
            redrawCell(*change.redraw);
        if (currentChanged)
            viewport()->update();
    } else if (event->button() == Qt::RightButton) {
        if (m_panel.rightDown(point))
            viewport()->update();
    }
    event->accept();
}

void CSoundView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CSoundView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (m_panel.press().rightUp())
            showPopupMenu(event->globalPosition().toPoint());
        return;
    }
    PanelWidget::mouseReleaseEvent(event);
}

void CSoundView::showPopupMenu(const QPoint& globalPosition)
{
    using views::SoundListCommand;
    QMenu menu(this);
    const std::pair<const char*, SoundListCommand> items[] = {
        { "&Copy", SoundListCommand::kCopy },
        { "&Paste", SoundListCommand::kPaste },
        { "&Erase", SoundListCommand::kErase },
    };
    for (const auto& [text, command] : items) {
        QAction* action = menu.addAction(QString::fromLatin1(text));
        action->setEnabled(canRunCommand(command));
        action->setData(static_cast<int>(command));
    }
    QAction* chosen = menu.exec(globalPosition);
    if (chosen != nullptr)
        runCommand(static_cast<SoundListCommand>(chosen->data().toInt()));
}

} // namespace vellisto::ui
