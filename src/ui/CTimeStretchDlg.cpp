// SPDX-License-Identifier: MIT
#include "ui/CTimeStretchDlg.h"

#include "ui/DialogUnitLayout.h"
#include "ui/TextTableQt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellisto::ui {

CTimeStretchDlg::CTimeStretchDlg(const TimeStretchValues& values, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(TableText(TextId::kStretchTimelines));
    const DialogUnitLayout units(font());
    setFixedSize(units.size(196, 77));

    const auto label = [&](TextId text, int y) {
        auto* widget = new QLabel(TableText(text), this);
        units.place(*widget, 6, y, 90, 12);
    };
    const auto edit = [&](int id, int x, int y, const std::string& text) {
        auto* widget = new QLineEdit(QString::fromStdString(text), this);
        widget->setObjectName(QStringLiteral("edit%1").arg(id));
        units.place(*widget, x, y, 42, 12);
        return widget;
    };
    label(TextId::kStretchFromLabel, 6);
    m_fromBegin = edit(1010, 102, 6, values.fromBeginText);
    m_fromEnd = edit(1011, 150, 6, values.fromEndText);
    label(TextId::kStretchToLabel, 24);
    m_toBegin = edit(1012, 102, 24, values.toBeginText);
    m_toEnd = edit(1013, 150, 24, values.toEndText);

    m_allTracks = new QCheckBox(TableText(TextId::kApplyToAllTracks), this);
    m_allTracks->setObjectName(QStringLiteral("check1070"));
    m_allTracks->setChecked(values.allTracks);
    units.place(*m_allTracks, 6, 42, 186, 12);

    auto* ok = new QPushButton(TableText(TextId::kOk), this);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    units.place(*ok, 54, 60, 42, 12);
    auto* cancel = new QPushButton(TableText(TextId::kCancel), this);
    cancel->setObjectName(QStringLiteral("button2"));
    units.place(*cancel, 102, 60, 42, 12);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TimeStretchValues CTimeStretchDlg::values() const
{
    return TimeStretchValues { m_fromBegin->text().toStdString(), m_fromEnd->text().toStdString(),
        m_toBegin->text().toStdString(), m_toEnd->text().toStdString(), m_allTracks->isChecked() };
}

} // namespace vellisto::ui
