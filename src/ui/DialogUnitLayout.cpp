// SPDX-License-Identifier: MIT
#include "ui/DialogUnitLayout.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace vellisto::ui {

DialogUnitLayout::DialogUnitLayout(const QFont& font)
{
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded, as dialog templates measure it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = std::max(1, (letters / 26 + 1) / 2);
    m_baseY = std::max(1, metrics.height());
}

QRect DialogUnitLayout::rect(int x, int y, int width, int height) const
{
    const int left = x * m_baseX / 4;
    const int top = y * m_baseY / 8;
    const int right = (x + width) * m_baseX / 4;
    const int bottom = (y + height) * m_baseY / 8;
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnitLayout::size(int width, int height) const
{
    return QSize(width * m_baseX / 4, height * m_baseY / 8);
}

void DialogUnitLayout::place(QWidget& widget, int x, int y, int width, int height) const
{
    widget.setGeometry(rect(x, y, width, height));
}

} // namespace vellisto::ui
