// SPDX-License-Identifier: MIT
#pragma once

// A scrolling widget built from panel cells. It paints every cell that shows
// (through the shared off-screen image), turns the pointer into document
// coordinates for the shared press-and-release tracking, redraws the cells
// whose state changed and performs completed presses. On its own it holds a
// plain list of cells and reports completed presses as cellPerformed; a view
// with its own logic overrides panelCells(), panelPress(), performCell() and
// panelKey().

#include "views/PanelCell.h"
#include "views/PanelPress.h"

#include <QAbstractScrollArea>
#include <QSize>
#include <cstddef>
#include <span>
#include <vector>

namespace vellisto::ui {

class PanelWidget : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PanelWidget(QWidget* parent = nullptr);

    // The plain list of cells used when panelCells() is not overridden.
    void setCells(std::vector<views::PanelCell> cells);

    // The scrolled document's size, and the client size a new window opens
    // with.
    void setDocumentSize(QSize size);
    QSize documentSize() const { return m_documentSize; }
    void setInitialClientSize(QSize size);
    // The widget's size for a client area of `client`: the initial client
    // size when one is set.
    QSize sizeHint() const override;
    QSize widgetSizeFor(QSize client) const;

    // The document point shown at the widget's top-left corner.
    QPoint scrollPosition() const;
    views::PanelPoint documentPoint(QPoint widgetPoint) const;
    // Repaints one cell at once.
    void redrawCell(std::size_t index);

signals:
    void cellPerformed(std::size_t index, bool ctrl);

protected:
    virtual std::span<views::PanelCell> panelCells();
    virtual views::PanelPress& panelPress();
    // A completed press on cell `index`; Ctrl was held when it went down.
    virtual void performCell(std::size_t index, bool ctrl);
    // A key while no press is tracked; false passes it to the default handling.
    virtual bool panelKey(QKeyEvent* event);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void apply(const views::PressChange& change);
    void cancelPress();
    void updateScrollBars();

    std::vector<views::PanelCell> m_cells;
    views::PanelPress m_press;
    QSize m_documentSize;
    QSize m_initialClientSize;
};

} // namespace vellisto::ui
