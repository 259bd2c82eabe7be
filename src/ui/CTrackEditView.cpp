// SPDX-License-Identifier: MIT
#include "ui/CTrackEditView.h"

#include "ui/QtText.h"
#include "ui/TrackViewMenus.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <algorithm>

namespace vellisto::ui {

namespace {

    // Letters alone (or with Shift, where Shift does not make them a menu
    // key) are the view's own keys.
    std::optional<views::TrackEditKey> ViewKey(const QKeyEvent& event)
    {
        if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return std::nullopt;
        switch (event.key()) {
        case Qt::Key_Up:
            return views::TrackEditKey::kUp;
        case Qt::Key_Down:
            return views::TrackEditKey::kDown;
        case Qt::Key_Space:
            return views::TrackEditKey::kSpace;
        case Qt::Key_A:
            return views::TrackEditKey::kEditTime;
        case Qt::Key_S:
            return views::TrackEditKey::kEditType;
        case Qt::Key_D:
            return views::TrackEditKey::kEditData1;
        case Qt::Key_F:
            return views::TrackEditKey::kEditData2;
        case Qt::Key_G:
            return views::TrackEditKey::kEditData3;
        default:
            return std::nullopt;
        }
    }

} // namespace

CTrackEditView::CTrackEditView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t number, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_services(services)
    , m_panel(number)
{
    setInitialClientSize(QSize(views::kTrackEditWidth, views::kTrackEditClientHeight));
    m_document.addView(*this);
    updateView();
}

CTrackEditView::~CTrackEditView() { m_document.removeView(*this); }

std::uint32_t CTrackEditView::eventCount() const
{
    const Project* project = m_document.project();
    return project && m_panel.track() < kTrackCount ? project->tracks[m_panel.track()].count : 0;
}

QSize CTrackEditView::sizeHint() const
{
    const QSize client(views::kTrackEditWidth, views::kTrackEditClientHeight);
    QSize size = client + QSize(2 * frameWidth(), 2 * frameWidth());
    if (views::TrackEditDocumentHeight(eventCount(), client.height()) > client.height())
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    return size;
}

void CTrackEditView::OnUpdate(UpdateHint) { updateView(); }

void CTrackEditView::OnDocumentStateChanged() { updateTitle(); }

void CTrackEditView::updateView()
{
    // The document is the window's height plus a row per event, so that the
    // last event can scroll up to the top.
    const int client
        = viewport()->height() > 0 ? viewport()->height() : views::kTrackEditClientHeight;
    setDocumentSize(
        QSize(views::kTrackEditWidth, views::TrackEditDocumentHeight(eventCount(), client)));
    updateTitle();
    viewport()->update();
}

void CTrackEditView::updateTitle()
{
    const std::string title = m_document.title();
    setWindowTitle(FromUtf16(
        views::TrackEditTitle(m_panel.track(), QString::fromStdString(title).toStdU16String())));
}

views::CommandState CTrackEditView::commandState(views::EventViewCommand command) const
{
    return m_panel.commandState(command);
}

bool CTrackEditView::runCommand(views::EventViewCommand command)
{
    if (!m_panel.commandState(command).enabled)
        return false;
    const QPointer<CTrackEditView> self(this);
    const bool handled
        = m_panel.runCommand(command, m_document, m_services.editor, m_services.clipboard);
    // The view toggles are this view's own: it alone is updated.
    if (self
        && (command == views::EventViewCommand::kShowBySample
            || command == views::EventViewCommand::kShowNormalized))
        updateView();
    return handled;
}

void CTrackEditView::paintEvent(QPaintEvent* event)
{
    const int top = verticalScrollBar()->value();
    m_panel.layout(m_document.project(), top, top + viewport()->height());
    PanelWidget::paintEvent(event);
}

void CTrackEditView::resizeEvent(QResizeEvent* event)
{
    PanelWidget::resizeEvent(event);
    updateView();
}

void CTrackEditView::apply(const views::TrackEditOutcome& outcome)
{
    if (outcome.scrollTop) {
        const std::int64_t top
            = std::clamp<std::int64_t>(*outcome.scrollTop, 0, verticalScrollBar()->maximum());
        verticalScrollBar()->setValue(static_cast<int>(top));
    }
    if (outcome.edit) {
        // Show the cell light green while the modal dialog is open.
        viewport()->repaint();
        const QPointer<CTrackEditView> self(this);
        m_panel.runEdit(m_document, m_services.editor, m_services.dialogs);
        if (!self)
            return;
    }
    if (outcome.repaint || outcome.edit)
        viewport()->update();
    if (outcome.contextMenu) {
        QMenu menu(this);
        FillTrackEditMenu(menu, *this);
        if (const auto command = ChooseFromMenu(menu, QCursor::pos()))
            runCommand(*command);
    }
}

void CTrackEditView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        apply(m_panel.leftDown(eventCount(), point));
    else if (event->button() == Qt::RightButton)
        apply(m_panel.rightDown(eventCount(), point));
}

void CTrackEditView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    apply(m_panel.move(documentPoint(event->position().toPoint())));
}

void CTrackEditView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        const Qt::KeyboardModifiers keys = event->modifiers();
        apply(m_panel.leftUp(m_document, m_services.editor, point, keys.testFlag(Qt::ShiftModifier),
            keys.testFlag(Qt::ControlModifier)));
    } else if (event->button() == Qt::RightButton) {
        apply(m_panel.rightUp());
    }
}

void CTrackEditView::keyPressEvent(QKeyEvent* event)
{
    if (m_panel.buttonDown()) {
        event->accept();
        return;
    }
    // A menu key of a command this view has disabled goes on like any other key.
    if (const auto command = AcceleratorCommand(*event); command && runCommand(*command)) {
        event->accept();
        return;
    }
    if (const auto key = ViewKey(*event)) {
        event->accept();
        apply(m_panel.key(m_document, m_services.editor, *key));
        return;
    }
    PanelWidget::keyPressEvent(event);
}

void CTrackEditView::hideEvent(QHideEvent* event)
{
    apply(m_panel.cancel());
    PanelWidget::hideEvent(event);
}

void CTrackEditView::changeEvent(QEvent* event)
{
    // A press cannot complete once the window has lost the pointer to another.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        apply(m_panel.cancel());
    PanelWidget::changeEvent(event);
}

} // namespace vellisto::ui
