// SPDX-License-Identifier: MIT
#include "ui/CTrackView.h"

#include "ui/QtText.h"
#include "ui/TrackViewMenus.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace vellisto::ui {

namespace {

    bool PlainKey(const QKeyEvent& event)
    {
        return !(event.modifiers()
            & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    }

} // namespace

CTrackView::CTrackView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_services(services)
{
    setDocumentSize(QSize(views::kTrackListWidth, views::kTrackListHeight));
    setInitialClientSize(QSize(views::kTrackListWidth, views::kTrackListClientHeight));
    m_document.addView(*this);
    OnUpdate({});
}

CTrackView::~CTrackView() { m_document.removeView(*this); }

void CTrackView::OnUpdate(UpdateHint)
{
    m_panel.refresh(m_document.project());
    updateTitle();
    viewport()->update();
}

void CTrackView::OnDocumentStateChanged() { updateTitle(); }

void CTrackView::updateTitle()
{
    const std::string title = m_document.title();
    setWindowTitle(
        FromUtf16(views::TrackListTitle(QString::fromStdString(title).toStdU16String())));
}

views::CommandState CTrackView::commandState(views::EventViewCommand command) const
{
    return m_panel.commandState(command);
}

bool CTrackView::runCommand(views::EventViewCommand command)
{
    if (!m_panel.commandState(command).enabled)
        return false;
    return m_panel.runCommand(command, m_document, m_services.editor, m_services.clipboard);
}

void CTrackView::apply(const views::TrackListOutcome& outcome)
{
    if (outcome.redraw)
        redrawCell(*outcome.redraw);
    if (outcome.scrollTop) {
        const std::int64_t top
            = std::clamp<std::int64_t>(*outcome.scrollTop, 0, verticalScrollBar()->maximum());
        verticalScrollBar()->setValue(static_cast<int>(top));
    }
    switch (outcome.action) {
    case views::TrackListAction::kNone:
        break;
    case views::TrackListAction::kRepaint:
        viewport()->update();
        break;
    case views::TrackListAction::kOpenTrackEdit:
        m_services.opener.openView(m_document, ViewKind::kTrackEdit, outcome.track);
        break;
    case views::TrackListAction::kOpenEventGraph:
        m_services.opener.openView(m_document, ViewKind::kEventGraph, outcome.track);
        break;
    case views::TrackListAction::kContextMenu: {
        QMenu menu(this);
        FillTrackListMenu(menu, *this);
        if (const auto command = ChooseFromMenu(menu, QCursor::pos()))
            runCommand(*command);
        break;
    }
    }
}

void CTrackView::mousePressEvent(QMouseEvent* event)
{
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        apply(m_panel.leftDown(point));
    else if (event->button() == Qt::RightButton)
        apply(m_panel.rightDown(point));
    event->accept();
}

void CTrackView::mouseMoveEvent(QMouseEvent* event)
{
    apply(m_panel.move(documentPoint(event->position().toPoint())));
    event->accept();
}

void CTrackView::mouseReleaseEvent(QMouseEvent* event)
{
    const views::PanelPoint point = documentPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        apply(m_panel.leftUp(m_document.project(), point));
    else if (event->button() == Qt::RightButton)
        apply(m_panel.rightUp());
    event->accept();
}

bool CTrackView::panelKey(QKeyEvent* event)
{
    // A menu key of a command this view does not handle goes on like any other key.
    if (const auto command = AcceleratorCommand(*event); command && runCommand(*command))
        return true;
    if (!PlainKey(*event))
        return false;
    std::optional<views::TrackListKey> key;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = views::TrackListKey::kEnter;
        break;
    case Qt::Key_G:
        key = views::TrackListKey::kGraph;
        break;
    case Qt::Key_Space:
        key = views::TrackListKey::kSpace;
        break;
    case Qt::Key_Up:
        key = views::TrackListKey::kUp;
        break;
    case Qt::Key_Down:
        key = views::TrackListKey::kDown;
        break;
    default:
        return false;
    }
    apply(m_panel.key(m_document.project(), *key));
    return true;
}

} // namespace vellisto::ui
