// SPDX-License-Identifier: MIT
#pragma once

// The sound settings window of one sound: Load, Waveform, Preview, Clear and
// Close, "Determine Base Frequency", and a line per setting that a click
// edits. The right button offers "Show by the Sample" and "Show Normalized
// Values". The title is "Sound Settings Sound <ID> [document title]".

#include "document/Document.h"
#include "ui/LinePanelWidget.h"
#include "ui/ViewServices.h"
#include "views/SoundEditPanel.h"

#include <cstdint>

namespace vellisto::ui {

class CSoundEditView : public LinePanelWidget, public DocumentView {
    Q_OBJECT

public:
    // number: the sound ID (0..1023; any other shows empty lines).
    CSoundEditView(Ctest122Doc& document, ViewServices& services, std::uint32_t number,
        QWidget* parent = nullptr);
    ~CSoundEditView() override;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    std::uint32_t soundId() const { return m_soundId; }
    const views::SoundEditPanel& panel() const { return m_panel; }
    // The pop-up menu's commands (32779, 32780): toggle a mode and refresh.
    void runMenuCommand(std::uint32_t command);

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }
    void performCell(std::size_t index, bool ctrl) override;

    void showPopupMenu(const QPoint& globalPosition) override;

private:
    void updateTitle();

    Ctest122Doc& m_document;
    ViewServices& m_services;
    std::uint32_t m_soundId;
    views::SoundEditPanel m_panel;
};

} // namespace vellisto::ui
