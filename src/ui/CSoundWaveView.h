// SPDX-License-Identifier: MIT
#pragma once

// The waveform window of one sound, as prepared for mixing: a strip per
// channel, the time grid, the length, red loop markers and, after a click,
// a box with the frame and every channel's value there. The right button
// offers the units, the zoom and scrolling to the loop points; the arrow
// keys move the cursor. The content may be far wider than 65535 pixels; the
// scroll bars take positions of the full integer range.
//
// Painting reads only the view's own copy of the columns it shows (see
// WaveformPanel.h), never the project's samples, which a mix, a preview, an
// undo or a cleared cache may free. The copy is taken again on opening, on
// every document update that may concern the sound, and when the zoom or a
// mode changes. The title is "Waveform Sound <ID> [document title]".

#include "document/Document.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/WaveformPanel.h"

#include <cstdint>

namespace vellisto::ui {

class CSoundWaveView : public PanelWidget, public DocumentView {
    Q_OBJECT

public:
    // number: the sound ID.
    CSoundWaveView(Ctest122Doc& document, ViewServices& services, std::uint32_t number,
        QWidget* parent = nullptr);
    ~CSoundWaveView() override;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    const views::WaveformPanel& panel() const { return m_panel; }
    // A pop-up menu command, as if chosen there.
    void runCommand(views::WaveformCommand command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Takes the sound again, sets the scroll size and the title, repaints.
    void refresh();
    void updateTitle();
    void showPopupMenu(const QPoint& globalPosition);

    Ctest122Doc& m_document;
    views::WaveformPanel m_panel;
    views::WaveformScene m_scene; // kept between paints so its storage is reused
};

} // namespace vellisto::ui
