// SPDX-License-Identifier: MIT
#pragma once

// The project view: the launch pad every project window opens with. It
// paints the project panel's twelve cells and hands each completed button
// press, and the keys M, P, C, S and T, on as a ProjectCommand for whoever
// owns the document to carry out.

#include "ui/PanelWidget.h"
#include "views/ProjectPanel.h"

#include <QString>

namespace vellisto::ui {

class Ctest122View : public PanelWidget {
    Q_OBJECT

public:
    explicit Ctest122View(QWidget* parent = nullptr);

    // Sets the window title to "Project [title]".
    void setDocumentTitle(const QString& documentTitle);

    const views::ProjectPanel& panel() const { return m_panel; }

signals:
    void commandRequested(vellisto::views::ProjectCommand command);

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }
    void performCell(std::size_t index, bool ctrl) override;
    bool panelKey(QKeyEvent* event) override;

private:
    views::ProjectPanel m_panel;
};

} // namespace vellisto::ui
