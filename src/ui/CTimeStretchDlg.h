// SPDX-License-Identifier: MIT
#pragma once

// "Stretch Timelines": From and To (beginning, end) as time texts and the
// "Apply This to All Tracks" box. Controls carry the object names
// "edit<id>" and "check1070".

#include "editing/EditDialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace vellisto::ui {

class CTimeStretchDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTimeStretchDlg(const TimeStretchValues& values, QWidget* parent = nullptr);

    // The entered texts and the box.
    TimeStretchValues values() const;

private:
    QLineEdit* m_fromBegin;
    QLineEdit* m_fromEnd;
    QLineEdit* m_toBegin;
    QLineEdit* m_toEnd;
    QCheckBox* m_allTracks;
};

} // namespace vellisto::ui
