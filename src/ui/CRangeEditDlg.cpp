// SPDX-License-Identifier: MIT
#include "ui/CRangeEditDlg.h"

#include "ui/DialogUnitLayout.h"
#include "ui/TextTableQt.h"

#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace vellisto::ui {

namespace {

    // The up and down arrows beside a range edit: each step moves the edit's
    // number by one within lower..upper (an unreadable number counts as the
    // lower bound). The spin box's own text field stays hidden.
    class UpDownControl : public QAbstractSpinBox {
    public:
        UpDownControl(QLineEdit& buddy, std::uint32_t lower, std::uint32_t upper, QWidget* parent)
            : QAbstractSpinBox(parent)
            , m_buddy(buddy)
            , m_lower(lower)
            , m_upper(upper)
        {
            setButtonSymbols(QAbstractSpinBox::UpDownArrows);
            setFrame(false);
            lineEdit()->setReadOnly(true);
            lineEdit()->setFocusPolicy(Qt::NoFocus);
            setFocusPolicy(Qt::NoFocus);
        }

        void stepBy(int steps) override
        {
            const std::int64_t value
                = ReadRangeField(m_buddy.text().toStdString()).value_or(m_lower);
            const std::int64_t moved = std::clamp<std::int64_t>(
                std::clamp<std::int64_t>(value, m_lower, m_upper) + steps, m_lower, m_upper);
            m_buddy.setText(QString::number(moved));
        }

    protected:
        StepEnabled stepEnabled() const override
        {
            return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
        }

    private:
        QLineEdit& m_buddy;
        std::uint32_t m_lower;
        std::uint32_t m_upper;
    };

    QLineEdit* MakeEdit(QWidget* parent, const DialogUnitLayout& units, int id, QRect dlu)
    {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("edit%1").arg(id));
        units.place(*edit, dlu.x(), dlu.y(), dlu.width(), dlu.height());
        return edit;
    }

} // namespace

CRangeEditDlg::CRangeEditDlg(const RangeEditValues& values, QWidget* parent)
    : QDialog(parent)
    , m_values(values)
    , m_rangeEnabled(values.upperBound >= values.lowerBound)
{
    setWindowTitle(TableText(TextId::kSetRangeAndData));
    const DialogUnitLayout units(font());
    setFixedSize(units.size(196, 95));

    auto* rangeLabel = new QLabel(TableText(TextId::kRangeLabel), this);
    units.place(*rangeLabel, 6, 6, 186, 12);
    m_begin = MakeEdit(this, units, 1010, { 6, 24, 78, 12 });
    m_end = MakeEdit(this, units, 1011, { 102, 24, 78, 12 });
    m_begin->setText(QString::number(values.rangeBegin));
    m_end->setText(QString::number(values.rangeEnd));
    auto* beginSpin = new UpDownControl(*m_begin, values.lowerBound, values.upperBound, this);
    beginSpin->setObjectName(QStringLiteral("spin1050"));
    units.place(*beginSpin, 84, 24, 11, 12);
    auto* endSpin = new UpDownControl(*m_end, values.lowerBound, values.upperBound, this);
    endSpin->setObjectName(QStringLiteral("spin1051"));
    units.place(*endSpin, 180, 24, 11, 12);
    for (QWidget* range : { static_cast<QWidget*>(m_begin), static_cast<QWidget*>(m_end),
             static_cast<QWidget*>(beginSpin), static_cast<QWidget*>(endSpin) })
        range->setEnabled(m_rangeEnabled);

    auto* dataLabel = new QLabel(TableText(TextId::kDataLabel), this);
    units.place(*dataLabel, 6, 42, 186, 12);
    for (int i = 0; i < 4; ++i) {
        m_data[i] = MakeEdit(this, units, 1012 + i, { 6 + 48 * i, 60, 42, 12 });
        m_data[i]->setText(QString::fromStdString(values.dataTexts[i]));
        m_data[i]->setEnabled(static_cast<std::uint32_t>(i) < values.enabledDataFields);
    }

    auto* ok = new QPushButton(TableText(TextId::kOk), this);
    ok->setObjectName(QStringLiteral("button1"));
    ok->setDefault(true);
    units.place(*ok, 54, 78, 42, 12);
    auto* cancel = new QPushButton(TableText(TextId::kCancel), this);
    cancel->setObjectName(QStringLiteral("button2"));
    units.place(*cancel, 102, 78, 42, 12);
    connect(ok, &QPushButton::clicked, this, &CRangeEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRangeEditDlg::reject);
}

RangeEditValues CRangeEditDlg::values() const { return m_values; }

void CRangeEditDlg::accept()
{
    RangeEditValues entered = m_values;
    if (m_rangeEnabled) {
        const std::pair<QLineEdit*, std::uint32_t*> fields[]
            = { { m_begin, &entered.rangeBegin }, { m_end, &entered.rangeEnd } };
        for (const auto& [edit, target] : fields) {
            const auto value = ReadRangeField(edit->text().toStdString());
            if (!value) {
                QMessageBox::warning(this, TableText(TextId::kApplicationTitle),
                    TableText(TextId::kEnterPositiveInteger));
                edit->setFocus();
                edit->selectAll();
                return;
            }
            *target = *value;
        }
    }
    for (int i = 0; i < 4; ++i)
        entered.dataTexts[i] = m_data[i]->text().toStdString();
    m_values = entered;
    QDialog::accept();
}

} // namespace vellisto::ui
