// SPDX-License-Identifier: MIT
#pragma once

// The track edit window: one track's events as a table re-laid out over the
// visible rows on every paint. Forwards presses, releases and keys to the
// track edit panel, runs the "Input" dialog for in-place edits, scrolls as
// the panel says, and answers the Edit and View menu commands with this
// track and its cursor row. Registers itself with its document and follows
// every update with its scroll range, title and cells.

#include "document/Document.h"
#include "ui/EventCommandTarget.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/TrackEditPanel.h"

#include <cstdint>

namespace vellisto::ui {

class CTrackEditView : public PanelWidget, public DocumentView, public EventCommandTarget {
    Q_OBJECT

public:
    // number: the track shown, 0 to 63.
    CTrackEditView(Ctest122Doc& document, ViewServices& services, std::uint32_t number,
        QWidget* parent = nullptr);
    ~CTrackEditView() override;

    const views::TrackEditPanel& panel() const { return m_panel; }
    // A 640 x 320 client area, with room for the vertical scroll bar once
    // there are events (the document is then taller than the window).
    QSize sizeHint() const override;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    views::CommandState commandState(views::EventViewCommand command) const override;
    bool runCommand(views::EventViewCommand command) override;

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void apply(const views::TrackEditOutcome& outcome);
    void updateView();
    void updateTitle();
    std::uint32_t eventCount() const;

    Ctest122Doc& m_document;
    ViewServices& m_services;
    views::TrackEditPanel m_panel;
};

} // namespace vellisto::ui
