// SPDX-License-Identifier: MIT
#pragma once

// "Please wait for a while...": the modal dialog of a running mix. Every
// 200 ms it reads the worker's progress words, moves the bar and shows the
// estimated time left; it closes itself once the worker is done or an abort
// was requested. "Abort", Escape and closing the window end it early; a
// dialog that ends before the worker is done requests the abort.

#include "document/UserInterface.h"
#include "mix/MixReport.h"

#include <QDialog>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vellisto::ui {

class CProgressDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPollMilliseconds = 200;

    CProgressDlg(ProgressSource& source, mix::MillisecondClock clock, QWidget* parent = nullptr);
    ~CProgressDlg() override;

    QProgressBar* progressBar() const { return m_bar; }
    QLabel* remainingLabel() const { return m_remaining; }
    QPushButton* abortButton() const { return m_abort; }

    // One tick of the 200 ms timer.
    void poll();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    ProgressSource& m_source;
    mix::MillisecondClock m_clock;
    QProgressBar* m_bar;
    QLabel* m_remaining;
    QPushButton* m_abort;
    QTimer* m_timer;
    std::uint64_t m_startMs = 0;
    bool m_started = false;
};

} // namespace vellisto::ui
