// SPDX-License-Identifier: MIT
#pragma once

// The event graph window: one track's events as markers on a time and value
// plane, painted from the scene the event graph panel builds for the
// visible rectangle. Forwards presses, releases and keys (a drag takes
// effect on release; nothing is drawn while the pointer moves), and answers
// the Edit and View menu commands, the zoom and the graph kinds. Registers
// itself with its document and follows every update with its scroll range,
// title and picture.

#include "document/Document.h"
#include "ui/EventCommandTarget.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/EventGraphPanel.h"

#include <QHash>
#include <QImage>
#include <QStaticText>
#include <cstdint>

class QPainter;

namespace vellisto::ui {

class CTrackGraphView : public PanelWidget, public DocumentView, public EventCommandTarget {
    Q_OBJECT

public:
    // number: the track shown, 0 to 63.
    CTrackGraphView(Ctest122Doc& document, ViewServices& services, std::uint32_t number,
        QWidget* parent = nullptr);
    ~CTrackGraphView() override;

    const views::EventGraphPanel& panel() const { return m_panel; }
    // A 640 x 320 client area with the scroll bars the document needs at that size.
    QSize sizeHint() const override;
    // The document rectangle the window shows.
    views::GraphRect visibleRect() const;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    views::CommandState commandState(views::EventViewCommand command) const override;
    bool runCommand(views::EventViewCommand command) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateView();
    void updateTitle();
    void showContextMenu();
    void drawLabel(QPainter& painter, int x, int y, const QString& text);
    void drawSoundLabel(QPainter& painter, int x, int y, std::uint32_t soundId);
    const QImage& markerImage(views::Colour fill);

    Ctest122Doc& m_document;
    ViewServices& m_services;
    views::EventGraphPanel m_panel;
    views::GraphScene m_scene; // reused by every paint
    // Laid-out sound ID labels and drawn markers, so that a paint of
    // thousands of markers does not lay out or rasterise each one again.
    QHash<std::uint32_t, QStaticText> m_labels;
    QHash<std::uint32_t, QImage> m_markers;
};

} // namespace vellisto::ui
