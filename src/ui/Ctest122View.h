// SPDX-License-Identifier: MIT
#pragma once

// The project view: the launch pad every project window opens with. It
// paints the project panel's twelve cells and carries out each completed
// button press, and the keys M, P, C, S and T: saving and mixing through the
// main frame, the cache and the list imports on the document, and the other
// windows through the view opener. Its window title is "Project [title]".

#include "document/Document.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/ProjectPanel.h"

namespace vellisto::ui {

class DocumentCommands;

class Ctest122View : public PanelWidget, public DocumentView {
    Q_OBJECT

public:
    Ctest122View(Ctest122Doc& document, ViewServices& services, DocumentCommands& commands,
        QWidget* parent = nullptr);
    ~Ctest122View() override;

    Ctest122Doc& document() const { return m_document; }
    const views::ProjectPanel& panel() const { return m_panel; }

    // Carries out one of the panel's commands, as a press or a key does.
    void runCommand(views::ProjectCommand command);

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }
    void performCell(std::size_t index, bool ctrl) override;
    bool panelKey(QKeyEvent* event) override;

private:
    void updateTitle();

    Ctest122Doc& m_document;
    ViewServices& m_services;
    DocumentCommands& m_commands;
    views::ProjectPanel m_panel;
};

} // namespace vellisto::ui
