// SPDX-License-Identifier: MIT
#include "ui/CNumberEditDlg.h"

#include "model/TextTable.h"
#include "ui/QtText.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellisto::ui {

CNumberEditDlg::CNumberEditDlg(const QString& initial, QWidget* parent)
    : QDialog(parent)
    , m_edit(new QLineEdit(initial, this))
{
    setWindowTitle(FromUtf8(Text(TextId::kInput)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(FromUtf8(Text(TextId::kOk)));
    buttons->button(QDialogButtonBox::Cancel)->setText(FromUtf8(Text(TextId::kCancel)));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    m_edit->setMinimumWidth(240);
    m_edit->selectAll();
    m_edit->setFocus();
}

QString CNumberEditDlg::text() const { return m_edit->text(); }

} // namespace vellisto::ui
