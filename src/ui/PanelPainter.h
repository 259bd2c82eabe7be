// SPDX-License-Identifier: MIT
#pragma once

// Draws panel cells onto a widget: the face is painted into the program's
// one shared off-screen image by the views' pixel code and copied to the
// widget in one piece, then the text is drawn on top with the painter's font
// as the views' text layout says. User-interface thread only.

#include "views/PanelBitmap.h"
#include "views/PanelCell.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace vellisto::ui {

inline QColor ToQColor(views::Colour colour)
{
    return QColor(colour.red, colour.green, colour.blue);
}

// The shared off-screen image: a 32-bit RGB image over the memory of one
// PanelBitmap, re-wrapped only when that memory grows, so that painting
// allocates nothing once the largest cell has been drawn.
class SharedPanelImage {
public:
    static SharedPanelImage& instance();

    // False when the bitmap could not be made width x height.
    bool reserve(int width, int height);
    views::PixelBuffer buffer() const { return m_bitmap.buffer(); }
    const QImage& image() const { return m_image; }

private:
    views::PanelBitmap m_bitmap;
    QImage m_image;
};

// Draws one cell (nothing for kind kNothing, for an empty rectangle, or when
// the cell lies outside `visible`). `scroll` is the document point shown at
// the widget's top-left corner; `visible` is in widget coordinates.
void DrawPanelCell(
    QPainter& painter, const views::PanelCell& cell, QPoint scroll, const QRect& visible);

// The cell's rectangle in widget coordinates; empty when it does not fit the
// widget's coordinate range.
QRect CellRectOnWidget(const views::PanelCell& cell, QPoint scroll);

} // namespace vellisto::ui
