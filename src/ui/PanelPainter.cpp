// SPDX-License-Identifier: MIT
#include "ui/PanelPainter.h"

#include "ui/QtText.h"
#include "views/PanelPaint.h"
#include "views/PanelText.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <QTextOption>
#include <limits>

namespace vellisto::ui {

namespace {

    // Widget coordinates stay well inside int so that QRect arithmetic
    // cannot overflow.
    constexpr std::int64_t kCoordinateLimit = std::int64_t { 1 } << 30;

    bool InRange(std::int64_t value)
    {
        return value > -kCoordinateLimit && value < kCoordinateLimit;
    }

    QRect ToWidget(const views::PanelRect& rect, QPoint scroll)
    {
        const std::int64_t left = std::int64_t { rect.left } - scroll.x();
        const std::int64_t top = std::int64_t { rect.top } - scroll.y();
        const std::int64_t right = std::int64_t { rect.right } - scroll.x();
        const std::int64_t bottom = std::int64_t { rect.bottom } - scroll.y();
        if (!InRange(left) || !InRange(top) || !InRange(right) || !InRange(bottom))
            return {};
        return QRect(QPoint(static_cast<int>(left), static_cast<int>(top)),
            QPoint(static_cast<int>(right) - 1, static_cast<int>(bottom) - 1));
    }

    Qt::Alignment HorizontalAlignment(views::TextAlign align)
    {
        switch (align) {
        case views::TextAlign::kCentre:
            return Qt::AlignHCenter;
        case views::TextAlign::kRight:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
        }
    }

    void DrawCellText(QPainter& painter, const views::PanelCell& cell, QPoint scroll)
    {
        const views::PanelTextLayout layout = views::LayoutPanelText(cell);
        if (layout.lines.empty())
            return;
        painter.save();
        painter.setClipRect(ToWidget(layout.clip, scroll), Qt::IntersectClip);
        painter.setPen(ToQColor(layout.colour));
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setAlignment(HorizontalAlignment(layout.align)
            | (layout.singleLine ? Qt::AlignVCenter : Qt::AlignTop));
        option.setTabStopDistance(
            views::kTabStopColumns * QFontMetricsF(painter.font()).averageCharWidth());
        for (const views::PanelTextLine& line : layout.lines) {
            const QRect rect = ToWidget(line.rect, scroll);
            if (rect.isEmpty())
                continue;
            QString text = FromUtf16(line.text);
            if (layout.singleLine) {
                text.replace(QLatin1Char('\r'), QLatin1Char(' '));
                text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            }
            painter.drawText(QRectF(rect), text, option);
        }
        painter.restore();
    }

} // namespace

SharedPanelImage& SharedPanelImage::instance()
{
    static SharedPanelImage image;
    return image;
}

bool SharedPanelImage::reserve(int width, int height)
{
    if (!m_bitmap.reserve(width, height))
        return false;
    const views::PixelBuffer buffer = m_bitmap.buffer();
    if (m_image.constBits() != reinterpret_cast<const uchar*>(buffer.pixels)
        || m_image.width() != buffer.width || m_image.height() != buffer.height)
        m_image = QImage(reinterpret_cast<uchar*>(buffer.pixels), buffer.width, buffer.height,
            static_cast<qsizetype>(buffer.stride) * 4, QImage::Format_RGB32);
    return true;
}

QRect CellRectOnWidget(const views::PanelCell& cell, QPoint scroll)
{
    return ToWidget(views::PanelRect { cell.left, cell.top, cell.right, cell.bottom }, scroll);
}

void DrawPanelCell(
    QPainter& painter, const views::PanelCell& cell, QPoint scroll, const QRect& visible)
{
    if (cell.kind == views::CellKind::kNothing)
        return;
    const QRect target = CellRectOnWidget(cell, scroll);
    if (target.isEmpty() || !target.intersects(visible))
        return;
    SharedPanelImage& shared = SharedPanelImage::instance();
    if (!shared.reserve(target.width(), target.height()))
        return;
    if (!views::PaintPanelCell(shared.buffer(), cell))
        return;
    painter.drawImage(
        target.topLeft(), shared.image(), QRect(0, 0, target.width(), target.height()));
    DrawCellText(painter, cell, scroll);
}

} // namespace vellisto::ui
