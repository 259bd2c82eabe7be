// SPDX-License-Identifier: MIT
#pragma once

// "Input": one line of text, opened with its whole text selected.

#include <QDialog>

class QLineEdit;

namespace vellisto::ui {

class CNumberEditDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNumberEditDlg(const QString& initial, QWidget* parent = nullptr);

    QString text() const;
    QLineEdit* edit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};

} // namespace vellisto::ui
