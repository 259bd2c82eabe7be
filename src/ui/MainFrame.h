// SPDX-License-Identifier: MIT
#pragma once

// The main window: a multiple-document area holding one child window per
// view, a menu bar and a status bar. Documents are opened into it from
// outside; a plain start shows it empty.

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;

namespace vellisto::ui {

class PanelWidget;

class MainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit MainFrame(QWidget* parent = nullptr);

    // Puts a view into a new child window sized so that the view's client
    // area has the view's opening size, and shows it. The window takes the
    // view's title and owns the view.
    QMdiSubWindow* openView(PanelWidget* view);

    QMdiArea* mdiArea() const { return m_mdiArea; }

private:
    QMdiArea* m_mdiArea;
};

} // namespace vellisto::ui
