// SPDX-License-Identifier: MIT
#pragma once

// Places dialog controls by dialog units: a horizontal unit is a quarter of
// the dialog font's average character width, a vertical unit an eighth of
// its height, so a dialog keeps its proportions with whatever font the
// desktop gives it.

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace vellisto::ui {

class DialogUnitLayout {
public:
    explicit DialogUnitLayout(const QFont& font);

    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;
    // Puts widget at the rectangle given in dialog units.
    void place(QWidget& widget, int x, int y, int width, int height) const;

private:
    int m_baseX;
    int m_baseY;
};

} // namespace vellisto::ui
