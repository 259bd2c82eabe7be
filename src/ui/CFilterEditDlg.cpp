// SPDX-License-Identifier: MIT
#include "ui/CFilterEditDlg.h"

#include "ui/DialogUnitLayout.h"
#include "ui/TextTableQt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vellisto::ui {

CFilterEditDlg::CFilterEditDlg(const FilterEditValues& values, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(TableText(TextId::kFilterEvents));
    const DialogUnitLayout units(font());
    setFixedSize(units.size(196, 119));

    const auto label = [&](TextId text, int x, int y, int width) {
        auto* widget = new QLabel(TableText(text), this);
        units.place(*widget, x, y, width, 12);
    };
    const auto edit = [&](int id, int x, int y, const std::string& text) {
        auto* widget = new QLineEdit(QString::fromStdString(text), this);
        widget->setObjectName(QStringLiteral("edit%1").arg(id));
        units.place(*widget, x, y, 42, 12);
        return widget;
    };

    label(TextId::kLowerLimitLabel, 6, 6, 186);
    label(TextId::kUpperLimitLabel, 6, 42, 186);
    for (int i = 0; i < 4; ++i) {
        m_lower[i] = edit(1010 + i, 6 + 48 * i, 24, values.lowerTexts[i]);
        m_upper[i] = edit(1014 + i, 6 + 48 * i, 60, values.upperTexts[i]);
    }

    label(TextId::kEventTypeLabel, 6, 78, 90);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("list1020"));
    for (TextId item : { TextId::kFilterAllTypes, TextId::kFilterPlay, TextId::kFilterStop,
             TextId::kFilterAllStop, TextId::kFilterVolume, TextId::kFilterBalance,
             TextId::kFilterStress, TextId::kFilterPitch })
        m_type->addItem(TableText(item));
    // The drop-down's closed height is one line of the template's 60 units.
    units.place(*m_type, 102, 78, 90, 12);
    m_type->setCurrentIndex(values.typeIndex < 8 ? static_cast<int>(values.typeIndex) : 0);

    auto* ok = new QPushButton(TableText(TextId::kOk), this);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    units.place(*ok, 54, 102, 42, 12);
    auto* cancel = new QPushButton(TableText(TextId::kCancel), this);
    cancel->setObjectName(QStringLiteral("button2"));
    units.place(*cancel, 102, 102, 42, 12);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

FilterEditValues CFilterEditDlg::values() const
{
    FilterEditValues values;
    for (int i = 0; i < 4; ++i) {
        values.lowerTexts[i] = m_lower[i]->text().toStdString();
        values.upperTexts[i] = m_upper[i]->text().toStdString();
    }
    values.typeIndex = static_cast<std::uint32_t>(std::max(m_type->currentIndex(), 0));
    return values;
}

} // namespace vellisto::ui
