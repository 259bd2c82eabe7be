// SPDX-License-Identifier: MIT
#pragma once

// The settings window: "Close", "Default", a line per project setting and
// "Refer to Base Path". Clicking a line edits its setting (a click steps a
// choice, numbers and texts open the "Input" dialog, the output format the
// format-only "Compatibility and Format" dialog); the right button offers
// "Show Normalized Values", which chooses how master volume and balance
// open in their dialogs. The title is "Settings [document title]".

#include "document/Document.h"
#include "ui/LinePanelWidget.h"
#include "ui/ViewServices.h"
#include "views/SettingsPanel.h"

#include <cstdint>

namespace vellisto::ui {

class CSettingsView : public LinePanelWidget, public DocumentView {
    Q_OBJECT

public:
    // number is unused.
    CSettingsView(Ctest122Doc& document, ViewServices& services, std::uint32_t number = 0,
        QWidget* parent = nullptr);
    ~CSettingsView() override;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    const views::SettingsPanel& panel() const { return m_panel; }
    // The pop-up menu's command: toggles the normalized display.
    void toggleNormalizedValues();

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }
    void performCell(std::size_t index, bool ctrl) override;

    void showPopupMenu(const QPoint& globalPosition) override;

private:
    void updateTitle();

    Ctest122Doc& m_document;
    ViewServices& m_services;
    views::SettingsPanel m_panel;
};

} // namespace vellisto::ui
