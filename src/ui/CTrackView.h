// SPDX-License-Identifier: MIT
#pragma once

// The track list window: 64 rows, one per track, painted from the track
// list's cells. Opens track edit and event graph windows through the view
// opener, cycles the mute and solo states, and copies, pastes and erases
// whole tracks on the desktop clipboard. Registers itself with its document
// and follows every update with its title and cells.

#include "document/Document.h"
#include "ui/EventCommandTarget.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/TrackListPanel.h"

#include <cstdint>

namespace vellisto::ui {

class CTrackView : public PanelWidget, public DocumentView, public EventCommandTarget {
    Q_OBJECT

public:
    // number is not used: the track list shows every track.
    CTrackView(Ctest122Doc& document, ViewServices& services, std::uint32_t number = 0,
        QWidget* parent = nullptr);
    ~CTrackView() override;

    const views::TrackListPanel& panel() const { return m_panel; }

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    views::CommandState commandState(views::EventViewCommand command) const override;
    bool runCommand(views::EventViewCommand command) override;

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool panelKey(QKeyEvent* event) override;

private:
    void apply(const views::TrackListOutcome& outcome);
    void updateTitle();

    Ctest122Doc& m_document;
    ViewServices& m_services;
    views::TrackListPanel m_panel;
};

} // namespace vellisto::ui
