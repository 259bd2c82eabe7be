// SPDX-License-Identifier: MIT
#pragma once

// The sound list window: 1024 rows of a sound ID button (opening that
// sound's settings window) and the slot's file name, with one current row
// that Up, Down and the pointer move and that Copy, Paste and Erase act on
// (also from a pop-up menu on the right button). Only the rows that show
// are painted. The window title is "Sound List [document title]".

#include "document/Document.h"
#include "ui/PanelWidget.h"
#include "ui/ViewServices.h"
#include "views/AppCommands.h"
#include "views/SoundListPanel.h"

#include <cstdint>

class QMenu;

namespace vellisto::ui {

class CSoundView : public PanelWidget, public DocumentView, public views::CommandHandler {
    Q_OBJECT

public:
    // number is unused: the list shows every sound.
    CSoundView(Ctest122Doc& document, ViewServices& services, std::uint32_t number = 0,
        QWidget* parent = nullptr);
    ~CSoundView() override;

    void OnUpdate(UpdateHint hint) override;
    void OnDocumentStateChanged() override;

    const views::SoundListPanel& panel() const { return m_panel; }
    Ctest122Doc& document() const { return m_document; }

    // The Edit menu's commands, on the current sound; Paste only while the
    // clipboard holds a sound block.
    bool canRunCommand(views::SoundListCommand command);
    void runCommand(views::SoundListCommand command);

    // The main frame's Edit menu: Copy, Paste and Erase act on the current sound.
    std::optional<views::CommandStatus> commandStatus(views::CommandId id) const override;
    void runCommand(views::CommandId id) override;

protected:
    std::span<views::PanelCell> panelCells() override { return m_panel.cells(); }
    views::PanelPress& panelPress() override { return m_panel.press(); }
    void performCell(std::size_t index, bool ctrl) override;
    bool panelKey(QKeyEvent* event) override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateTitle();
    void openSound(std::uint32_t soundId);
    void showPopupMenu(const QPoint& globalPosition);

    Ctest122Doc& m_document;
    ViewServices& m_services;
    views::SoundListPanel m_panel;
};

} // namespace vellisto::ui
