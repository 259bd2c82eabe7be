// SPDX-License-Identifier: MIT
#include "ui/QtEventEditDialogs.h"

#include "ui/CFilterEditDlg.h"
#include "ui/CRangeEditDlg.h"
#include "ui/CTimeStretchDlg.h"

namespace vellisto::ui {

namespace {

    template <class Dialog, class Values> bool Run(QWidget* parent, Values& values)
    {
        Dialog dialog(values, parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        values = dialog.values();
        return true;
    }

} // namespace

QtEventEditDialogs::QtEventEditDialogs(QWidget* parent)
    : m_parent(parent)
{
}

bool QtEventEditDialogs::editRangeAndData(RangeEditValues& values)
{
    return Run<CRangeEditDlg>(m_parent, values);
}

bool QtEventEditDialogs::editFilter(FilterEditValues& values)
{
    return Run<CFilterEditDlg>(m_parent, values);
}

bool QtEventEditDialogs::editTimeStretch(TimeStretchValues& values)
{
    return Run<CTimeStretchDlg>(m_parent, values);
}

} // namespace vellisto::ui
