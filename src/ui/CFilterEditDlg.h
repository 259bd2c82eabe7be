// SPDX-License-Identifier: MIT
#pragma once

// "Filter Events": lower and upper limits of Time, Data1, Data2 and Data3
// as texts, and the event type list ("(All)", "0 Play" .. "6 Pitch").
// Controls carry the object names "edit<id>" and "list1020".

#include "editing/EditDialogs.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;

namespace vellisto::ui {

class CFilterEditDlg : public QDialog {
    Q_OBJECT

public:
    explicit CFilterEditDlg(const FilterEditValues& values, QWidget* parent = nullptr);

    // The entered texts and type index.
    FilterEditValues values() const;

private:
    std::array<QLineEdit*, 4> m_lower {};
    std::array<QLineEdit*, 4> m_upper {};
    QComboBox* m_type;
};

} // namespace vellisto::ui
