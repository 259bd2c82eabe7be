// SPDX-License-Identifier: MIT
#pragma once

// The modal "Preview" dialog: Play, Stop, "Enable the Loop", the position
// slider and three lines of status, over a preview player whose feeder
// thread fills the device every 10 ms while a 10 ms display timer shows
// where it is. The player (src/preview) does the work; the dialog forwards
// the buttons, the slider and the loop box and paints what it is told.
//
// While the dialog is open it is application-modal, so nothing else can
// change or free the project's sounds the player reads.

#include "preview/PreviewFeeder.h"
#include "preview/PreviewPlayer.h"
#include "preview/WaveOut.h"
#include "ui/ViewServices.h"

#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace vellisto::ui {

// Opens the wave-output device for a format and a buffer length; null when
// it cannot be opened.
using WaveOutOpener = std::function<std::unique_ptr<preview::WaveOut>(
    const OutputFormat& format, std::uint32_t bufferFrames)>;

// The system's default output through Qt Multimedia (QtWaveOut).
std::unique_ptr<preview::WaveOut> OpenDefaultWaveOut(
    const OutputFormat& format, std::uint32_t bufferFrames);

class CPreviewDlg : public QDialog {
    Q_OBJECT

public:
    // Texts of the device's failures, with their caption.
    static const QString kErrorCaption; // "エラー"
    static const QString kDeviceFailed; // "WAVE出力のオープンに失敗しました。"
    static const QString kBufferFailed; // "バッファメモリの割り当てに失敗しました。"

    // The player must be prepared and outlive the dialog.
    explicit CPreviewDlg(preview::PreviewPlayer& player, QWidget* parent = nullptr,
        WaveOutOpener opener = OpenDefaultWaveOut);
    ~CPreviewDlg() override;

    // Opens the device, gives the player its buffers and starts the feeder
    // and the display; false after the message box that says what failed
    // (the dialog is then not to be shown).
    bool start();

    // How failures are shown; a message box with kErrorCaption unless replaced.
    void setErrorReporter(std::function<void(const QString& text)> reporter);

    // For tests and the measurements: the controls and the parts behind them.
    QPushButton* playButton() const { return m_play; }
    QPushButton* stopButton() const { return m_stop; }
    QCheckBox* loopBox() const { return m_loop; }
    QSlider* slider() const { return m_slider; }
    QLabel* status() const { return m_status; }
    const preview::PreviewFeeder& feeder() const { return m_feeder; }
    preview::WaveOut* device() const { return m_device.get(); }

public slots:
    void done(int result) override;

private:
    void onPlay();
    void onStop();
    void onDisplayTimer();
    void showStatus(const preview::PreviewDisplay& shown);
    void fail(const QString& text);
    void shutDown(); // feeder, player and device, in that order; idempotent

    preview::PreviewPlayer& m_player;
    WaveOutOpener m_opener;
    std::function<void(const QString&)> m_report;
    std::unique_ptr<preview::WaveOut> m_device;
    preview::PreviewFeeder m_feeder;
    QTimer m_display;
    bool m_attached = false;

    QPushButton* m_play = nullptr;
    QPushButton* m_stop = nullptr;
    QCheckBox* m_loop = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_status = nullptr;
};

// The preview as the views open it: the checks of their callers (link
// cycle, the sounds' preparation, the mix's memory; in sound mode the one
// sound's preparation), each ending in its message, then the modal dialog
// until the user closes it. mode and soundId as ViewOpener::openPreview
// takes them. True when the dialog was shown (sounds may have been prepared
// either way: the caller refreshes its views as after any preparation).
bool RunPreview(Ctest122Doc& document, ViewServices& services, PreviewMode mode,
    std::uint32_t soundId, QWidget* parent);

} // namespace vellisto::ui
