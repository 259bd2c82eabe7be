// SPDX-License-Identifier: MIT
#include "ui/CTrackGraphView.h"

#include "ui/PanelPainter.h"
#include "ui/QtText.h"
#include "ui/TrackViewMenus.h"
#include "views/PanelPaint.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <limits>

namespace vellisto::ui {

namespace {

    std::optional<views::GraphKey> ViewKey(const QKeyEvent& event)
    {
        if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return std::nullopt;
        switch (event.key()) {
        case Qt::Key_Space:
            return views::GraphKey::kSpace;
        case Qt::Key_A:
            return views::GraphKey::kEditTime;
        case Qt::Key_S:
            return views::GraphKey::kEditType;
        case Qt::Key_D:
            return views::GraphKey::kEditData1;
        case Qt::Key_F:
            return views::GraphKey::kEditData2;
        case Qt::Key_G:
            return views::GraphKey::kEditData3;
        default:
            return std::nullopt;
        }
    }

    bool ChangesOnlyThisView(views::EventViewCommand command)
    {
        return !views::IsSharedEventCommand(command);
    }

} // namespace

CTrackGraphView::CTrackGraphView(
    Ctest122Doc& document, ViewServices& services, std::uint32_t number, QWidget* parent)
    : PanelWidget(parent)
    , m_document(document)
    , m_services(services)
    , m_panel(number)
{
    setInitialClientSize(QSize(views::kGraphClientWidth, views::kGraphClientHeight));
    m_document.addView(*this);
    updateView();
}

CTrackGraphView::~CTrackGraphView() { m_document.removeView(*this); }

views::GraphRect CTrackGraphView::visibleRect() const
{
    const QPoint scroll = scrollPosition();
    const auto right = std::min<std::int64_t>(std::int64_t { scroll.x() } + viewport()->width(),
        std::numeric_limits<std::int32_t>::max());
    const auto bottom = std::min<std::int64_t>(std::int64_t { scroll.y() } + viewport()->height(),
        std::numeric_limits<std::int32_t>::max());
    return views::GraphRect { scroll.x(), scroll.y(), static_cast<std::int32_t>(right),
        static_cast<std::int32_t>(bottom) };
}

QSize CTrackGraphView::sizeHint() const
{
    const QSize client(views::kGraphClientWidth, views::kGraphClientHeight);
    QSize size = client + QSize(2 * frameWidth(), 2 * frameWidth());
    if (m_panel.documentHeight() > client.height())
        size.rwidth() += verticalScrollBar()->sizeHint().width();
    if (m_panel.documentWidth(m_document.project(), client.width()) > client.width())
        size.rheight() += horizontalScrollBar()->sizeHint().height();
    return size;
}

void CTrackGraphView::OnUpdate(UpdateHint) { updateView(); }

void CTrackGraphView::OnDocumentStateChanged() { updateTitle(); }

void CTrackGraphView::updateView()
{
    const int client = viewport()->width() > 0 ? viewport()->width() : views::kGraphClientWidth;
    setDocumentSize(
        QSize(m_panel.documentWidth(m_document.project(), client), m_panel.documentHeight()));
    updateTitle();
    viewport()->update();
}

void CTrackGraphView::updateTitle()
{
    const std::string title = m_document.title();
    setWindowTitle(FromUtf16(
        views::EventGraphTitle(m_panel.track(), QString::fromStdString(title).toStdU16String())));
}

views::CommandState CTrackGraphView::commandState(views::EventViewCommand command) const
{
    return m_panel.commandState(command);
}

bool CTrackGraphView::runCommand(views::EventViewCommand command)
{
    if (!m_panel.commandState(command).enabled)
        return false;
    const QPointer<CTrackGraphView> self(this);
    const bool handled
        = m_panel.runCommand(command, m_document, m_services.editor, m_services.clipboard);
    // Zoom, kinds and the view toggles belong to this view: it alone is updated.
    if (self && handled && ChangesOnlyThisView(command))
        updateView();
    return handled;
}

void CTrackGraphView::drawLabel(QPainter& painter, int x, int y, const QString& text)
{
    // Text with an opaque background: its box is cleared first.
    const QFontMetrics metrics(painter.font());
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter.fillRect(box, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void CTrackGraphView::drawSoundLabel(QPainter& painter, int x, int y, std::uint32_t soundId)
{
    // Sound IDs are few (1024 name a sound); anything beyond is still drawn, uncached.
    constexpr qsizetype kMostLabels = 4096;
    auto label = m_labels.constFind(soundId);
    if (label == m_labels.constEnd()) {
        if (m_labels.size() >= kMostLabels)
            m_labels.clear();
        QStaticText text(QString::number(soundId));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), painter.font());
        label = m_labels.insert(soundId, text);
    }
    const QSizeF size = label->size();
    painter.fillRect(QRectF(QPointF(x, y), size), Qt::white);
    painter.setPen(Qt::black);
    painter.drawStaticText(x, y, *label);
}

const QImage& CTrackGraphView::markerImage(views::Colour fill)
{
    const std::uint32_t key = views::PixelOf(fill);
    auto image = m_markers.constFind(key);
    if (image != m_markers.constEnd())
        return *image;
    // The marker at (0, 5) of a 6 x 11 image: outlined through (0, 0), (0,
    // 10), (5, 5); four fill columns narrowing to the point; the rest clear.
    QImage marker(6, 11, QImage::Format_ARGB32_Premultiplied);
    marker.fill(Qt::transparent);
    QPainter painter(&marker);
    painter.setPen(ToQColor(views::kMarkerOutline));
    const QPoint outline[] = { { 0, 0 }, { 0, 10 }, { 5, 5 }, { 0, 0 } };
    painter.drawPolyline(outline, 4);
    painter.setPen(ToQColor(fill));
    for (int i = 0; i < 4; ++i)
        painter.drawLine(1 + i, 5 + i - 3, 1 + i, 5 - i + 3);
    painter.end();
    return *m_markers.insert(key, marker);
}

void CTrackGraphView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    painter.setFont(font());
    const views::GraphRect visible = visibleRect();
    m_panel.buildScene(m_document.project(), visible, m_scene);
    // Document coordinates from here on.
    painter.translate(-visible.left, -visible.top);
    const int top = visible.top;
    const int bottom = visible.bottom - 1;

    for (const views::RulerMark& mark : m_scene.ruler) {
        painter.setPen(ToQColor(views::kRulerColour));
        painter.drawLine(mark.x, top, mark.x, bottom);
        drawLabel(painter, mark.x + 2, 0, QString::fromStdString(mark.label));
    }
    painter.setPen(ToQColor(views::kGridColour));
    for (const std::int32_t y : m_scene.greyLines)
        painter.drawLine(m_scene.area.left, y, m_scene.area.right - 1, y);
    if (m_scene.blueLine) {
        painter.setPen(ToQColor(views::kReferenceColour));
        painter.drawLine(
            m_scene.area.left, *m_scene.blueLine, m_scene.area.right - 1, *m_scene.blueLine);
    }

    for (const views::GraphMarker& marker : m_scene.markers) {
        painter.drawImage(marker.x, marker.y - 5, markerImage(marker.fill));
        if (marker.labelled)
            drawSoundLabel(painter, marker.x + 8, marker.y - 8, marker.soundId);
    }
}

void CTrackGraphView::resizeEvent(QResizeEvent* event)
{
    PanelWidget::resizeEvent(event);
    updateView();
}

void CTrackGraphView::showContextMenu()
{
    QMenu menu(this);
    FillEventGraphMenu(menu, *this);
    if (const auto command = ChooseFromMenu(menu, QCursor::pos()))
        runCommand(*command);
}

void CTrackGraphView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
        if (m_panel.leftDown(m_document, m_services.editor, visibleRect(),
                documentPoint(event->position().toPoint()), ctrl))
            viewport()->update();
    } else if (event->button() == Qt::RightButton) {
        m_panel.rightDown();
    }
}

void CTrackGraphView::mouseMoveEvent(QMouseEvent* event)
{
    // A drag takes effect on release; nothing changes while the pointer moves.
    event->accept();
}

void CTrackGraphView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        if (m_panel.leftUp(
                m_document, m_services.editor, documentPoint(event->position().toPoint())))
            viewport()->update();
    } else if (event->button() == Qt::RightButton) {
        if (m_panel.rightUp())
            showContextMenu();
    }
}

void CTrackGraphView::keyPressEvent(QKeyEvent* event)
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
        const QPointer<CTrackGraphView> self(this);
        if (m_panel.key(m_document, m_services.editor, m_services.dialogs, *key) && self)
            viewport()->update();
        return;
    }
    PanelWidget::keyPressEvent(event);
}

void CTrackGraphView::hideEvent(QHideEvent* event)
{
    m_panel.cancel();
    PanelWidget::hideEvent(event);
}

void CTrackGraphView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        m_panel.cancel();
    PanelWidget::changeEvent(event);
}

} // namespace vellisto::ui
