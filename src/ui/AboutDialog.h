// SPDX-License-Identifier: MIT
#pragma once

// "About": the program's icon, its version line and OK.

#include <QDialog>

namespace vellisto::ui {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace vellisto::ui
