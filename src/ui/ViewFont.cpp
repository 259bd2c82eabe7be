// SPDX-License-Identifier: MIT
#include "ui/ViewFont.h"

#include "views/PanelText.h"

#include <QFontMetrics>
#include <QStringList>

namespace vellisto::ui {

namespace {

    QFont BuildViewFont()
    {
        QFont font(QStringList { QStringLiteral("DejaVu Sans Mono"),
            QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans Mono") });
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        font.setWeight(QFont::Normal);
        // The largest size whose lines fit the 16-pixel line pitch the views
        // lay their texts out with.
        for (int pixels = views::kViewLineHeight; pixels > 6; --pixels) {
            font.setPixelSize(pixels);
            if (QFontMetrics(font).height() <= views::kViewLineHeight)
                break;
        }
        return font;
    }

} // namespace

const QFont& ViewFont()
{
    static const QFont font = BuildViewFont();
    return font;
}

} // namespace vellisto::ui
