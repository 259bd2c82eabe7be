// SPDX-License-Identifier: MIT
#include "ui/CProgressDlg.h"

#include "model/TextTable.h"
#include "ui/QtText.h"
#include "views/AppShell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vellisto::ui {

CProgressDlg::CProgressDlg(ProgressSource& source, mix::MillisecondClock clock, QWidget* parent)
    : QDialog(parent)
    , m_source(source)
    , m_clock(std::move(clock))
    , m_bar(new QProgressBar(this))
    , m_remaining(new QLabel(this))
    , m_abort(new QPushButton(FromUtf8(Text(TextId::kAbort)), this))
    , m_timer(new QTimer(this))
{
    setWindowTitle(FromUtf8(Text(TextId::kPleaseWait)));
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(320);
    // Room for the remaining time before the first estimate exists.
    m_remaining->setMinimumHeight(m_remaining->fontMetrics().height());
    m_abort->setDefault(true);
    connect(m_abort, &QPushButton::clicked, this, &QDialog::reject);
    m_timer->setInterval(kPollMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &CProgressDlg::poll);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_remaining);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CProgressDlg::~CProgressDlg()
{
    m_timer->stop();
    if (!m_source.done())
        m_source.requestAbort();
}

void CProgressDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    m_startMs = m_clock();
    m_timer->start();
}

void CProgressDlg::done(int result)
{
    m_timer->stop();
    if (!m_source.done())
        m_source.requestAbort();
    QDialog::done(result);
}

void CProgressDlg::poll()
{
    if (m_source.done() || m_source.abortRequested()) {
        accept();
        return;
    }
    const std::uint32_t current = m_source.currentFrame();
    const std::uint32_t total = m_source.totalFrames();
    const views::ProgressSteps steps = views::ScaleProgress(current, total);
    m_bar->setRange(0, steps.maximum);
    m_bar->setValue(steps.value);
    const std::uint64_t now = m_clock();
    const auto remaining
        = mix::RemainingTimeText(now > m_startMs ? now - m_startMs : 0, current, total);
    if (remaining)
        m_remaining->setText(FromUtf8(*remaining));
}

} // namespace vellisto::ui
