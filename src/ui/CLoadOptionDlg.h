// SPDX-License-Identifier: MIT
#pragma once

// "Compatibility and Format": the conversion compatibility of a new project
// or an imported score, and its output format as three texts (samples per
// second in an editable box, bits and channels from lists). In format-only
// mode the compatibility list is disabled.

#include "model/Compatibility.h"

#include <QDialog>

class QComboBox;

namespace vellisto::ui {

class CLoadOptionDlg : public QDialog {
    Q_OBJECT

public:
    CLoadOptionDlg(const CompatibilityChoice& initial, bool formatOnly, QWidget* parent = nullptr);

    // What the boxes hold; the compatibility stays as opened in format-only mode.
    CompatibilityChoice choice() const;

    QComboBox* compatibilityList() const { return m_compatibility; }
    QComboBox* rateBox() const { return m_rate; }
    QComboBox* bitsBox() const { return m_bits; }
    QComboBox* channelsBox() const { return m_channels; }

private:
    CompatibilityChoice m_initial;
    bool m_formatOnly;
    QComboBox* m_compatibility;
    QComboBox* m_rate;
    QComboBox* m_bits;
    QComboBox* m_channels;
};

} // namespace vellisto::ui
