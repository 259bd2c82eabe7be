// SPDX-License-Identifier: MIT
#pragma once

// "Set Range and Data": the range of list positions (two edits, each with an
// up-down control over lowerBound..upperBound, both disabled when the
// command works on an existing selection) and the Time, Data1, Data2 and
// Data3 data expressions. OK refuses a range field that is not an unsigned
// integer with "Please enter a positive integer." and stays open.
// Controls carry the object names "edit<id>" and "spin<id>" of their ids.

#include "editing/EditDialogs.h"

#include <QDialog>
#include <array>

class QLineEdit;
class QAbstractSpinBox;

namespace vellisto::ui {

class CRangeEditDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRangeEditDlg(const RangeEditValues& values, QWidget* parent = nullptr);

    // What the dialog opened with, with the entered texts and, when the
    // range was enabled and accepted, the entered range.
    RangeEditValues values() const;
    bool rangeEnabled() const { return m_rangeEnabled; }

public slots:
    void accept() override;

private:
    RangeEditValues m_values;
    bool m_rangeEnabled;
    QLineEdit* m_begin;
    QLineEdit* m_end;
    std::array<QLineEdit*, 4> m_data {};
};

} // namespace vellisto::ui
