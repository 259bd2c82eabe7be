// SPDX-License-Identifier: MIT
#include "ui/MainFrame.h"

#include "model/TextTable.h"
#include "ui/PanelWidget.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

namespace vellisto::ui {

MainFrame::MainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
{
    const std::string_view title = Text(TextId::kApplicationTitle);
    setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
    setCentralWidget(m_mdiArea);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* exit = file->addAction(tr("E&xit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    connect(window->addAction(tr("&Cascade")), &QAction::triggered, m_mdiArea,
        &QMdiArea::cascadeSubWindows);
    connect(
        window->addAction(tr("&Tile")), &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);

    statusBar();
    resize(800, 600);
}

QMdiSubWindow* MainFrame::openView(PanelWidget* view)
{
    QMdiSubWindow* window = m_mdiArea->addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    // The window's own frame and title bar around the view's opening size.
    window->resize(view->sizeHint() + (window->size() - view->size()));
    return window;
}

} // namespace vellisto::ui
