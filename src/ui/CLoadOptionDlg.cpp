// SPDX-License-Identifier: MIT
#include "ui/CLoadOptionDlg.h"

#include "model/TextTable.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace vellisto::ui {

namespace {

    constexpr std::array kCompatibilityTexts { TextId::kCompatNormal, TextId::kCompatDrum,
        TextId::kCompatAuto, TextId::kCompatAutoTrack, TextId::kCompatVer13, TextId::kCompatVer12 };
    constexpr std::array<const char*, 11> kRates { "8000", "11025", "12000", "16000", "22050",
        "24000", "32000", "44100", "48000", "96000", "192000" };

    QComboBox* ListBox(QWidget* parent, std::initializer_list<const char*> entries)
    {
        auto* box = new QComboBox(parent);
        for (const char* entry : entries)
            box->addItem(QString::fromLatin1(entry));
        return box;
    }

    // Shows text in a box: a list selects the matching entry. A text the
    // list does not hold is added, so that OK gives back what was shown
    // rather than an empty text.
    void Show(QComboBox* box, const std::string& text)
    {
        const QString value = FromUtf8(text);
        if (box->isEditable()) {
            box->setCurrentText(value);
            return;
        }
        int index = box->findText(value);
        if (index < 0) {
            box->addItem(value);
            index = box->count() - 1;
        }
        box->setCurrentIndex(index);
    }

} // namespace

CLoadOptionDlg::CLoadOptionDlg(const CompatibilityChoice& initial, bool formatOnly, QWidget* parent)
    : QDialog(parent)
    , m_initial(initial)
    , m_formatOnly(formatOnly)
    , m_compatibility(new QComboBox(this))
    , m_rate(ListBox(this, {}))
    , m_bits(ListBox(this, { "16" }))
    , m_channels(ListBox(this, { "1", "2" }))
{
    setWindowTitle(FromUtf8(Text(TextId::kCompatibilityAndFormat)));
    for (const TextId text : kCompatibilityTexts)
        m_compatibility->addItem(FromUtf8(Text(text)));
    m_compatibility->setCurrentIndex(static_cast<int>(initial.compatibility));
    m_compatibility->setEnabled(!formatOnly);
    m_rate->setEditable(true);
    m_rate->setInsertPolicy(QComboBox::NoInsert);
    for (const char* rate : kRates)
        m_rate->addItem(QString::fromLatin1(rate));
    Show(m_rate, initial.rateText);
    Show(m_bits, initial.bitsText);
    Show(m_channels, initial.channelsText);

    auto* format = new QGridLayout;
    format->addWidget(m_rate, 0, 0);
    format->addWidget(m_bits, 0, 1);
    format->addWidget(m_channels, 0, 2);
    format->setColumnStretch(0, 2);
    format->setColumnStretch(1, 1);
    format->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(FromUtf8(Text(TextId::kOk)));
    buttons->button(QDialogButtonBox::Cancel)->setText(FromUtf8(Text(TextId::kCancel)));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(FromUtf8(Text(TextId::kConversionCompatibility)), this));
    layout->addWidget(m_compatibility);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(FromUtf8(Text(TextId::kOutputFormatLabel)), this));
    layout->addLayout(format);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CompatibilityChoice CLoadOptionDlg::choice() const
{
    CompatibilityChoice choice = m_initial;
    if (!m_formatOnly && m_compatibility->currentIndex() >= 0)
        choice.compatibility = static_cast<Compatibility>(m_compatibility->currentIndex());
    choice.rateText = m_rate->currentText().trimmed().toStdString();
    choice.bitsText = m_bits->currentText().toStdString();
    choice.channelsText = m_channels->currentText().toStdString();
    return choice;
}

} // namespace vellisto::ui
