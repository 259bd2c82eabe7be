// SPDX-License-Identifier: MIT
#include "ui/CPreviewDlg.h"

#include "document/Document.h"
#include "model/TextTable.h"
#include "preview/PreviewCommand.h"
#include "ui/QtWaveOut.h"

#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStringList>
#include <QVBoxLayout>

namespace vellisto::ui {

namespace {

    // A fixed-pitch face at 10 points, so that the status lines keep their
    // columns, with a CJK face behind it for Japanese glyphs.
    QFont StatusFont()
    {
        QFont font(QStringList { QStringLiteral("DejaVu Sans Mono"),
            QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans Mono") });
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
        font.setPointSizeF(10.0);
        return font;
    }

    preview::PreviewKind KindOf(PreviewMode mode)
    {
        return mode == PreviewMode::kSound ? preview::PreviewKind::kSound
                                           : preview::PreviewKind::kProject;
    }

} // namespace

const QString CPreviewDlg::kErrorCaption = QStringLiteral("エラー");
const QString CPreviewDlg::kDeviceFailed = QStringLiteral("WAVE出力のオープンに失敗しました。");
const QString CPreviewDlg::kBufferFailed
    = QStringLiteral("バッファメモリの割り当てに失敗しました。");

std::unique_ptr<preview::WaveOut> OpenDefaultWaveOut(
    const OutputFormat& format, std::uint32_t bufferFrames)
{
    auto device = std::make_unique<QtWaveOut>();
    if (!device->open(format, bufferFrames))
        return nullptr;
    return device;
}

CPreviewDlg::CPreviewDlg(preview::PreviewPlayer& player, QWidget* parent, WaveOutOpener opener)
    : QDialog(parent)
    , m_player(player)
    , m_opener(std::move(opener))
{
    setWindowTitle(QStringLiteral("Preview"));
    setModal(true);
    m_report = [this](const QString& text) {
        QMessageBox::critical(parentWidget(), kErrorCaption, text);
    };

    m_status = new QLabel(this);
    m_status->setFont(StatusFont());
    m_status->setTextFormat(Qt::PlainText);
    const QFontMetrics metrics(m_status->font());
    m_status->setMinimumSize(
        metrics.horizontalAdvance(QStringLiteral("Time 00:00.000 / 00:00.000   ")),
        metrics.lineSpacing() * 3);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, static_cast<int>(preview::kSliderMax));
    m_slider->setPageStep(static_cast<int>(preview::kSliderMax / 16));

    m_play = new QPushButton(QStringLiteral("Play"), this);
    m_play->setDefault(true);
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_loop = new QCheckBox(QStringLiteral("Enable the Loop"), this);
    m_loop->setChecked(false);
    m_loop->setEnabled(m_player.loopAvailable());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_play);
    buttons->addWidget(m_stop);
    buttons->addStretch();
    buttons->addWidget(m_loop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_slider);
    layout->addLayout(buttons);

    connect(m_play, &QPushButton::clicked, this, [this] { onPlay(); });
    connect(m_stop, &QPushButton::clicked, this, [this] { onStop(); });
    m_display.setInterval(10);
    connect(&m_display, &QTimer::timeout, this, [this] { onDisplayTimer(); });

    // The length and position 0 before anything opens.
    showStatus(m_player.display(true));
}

CPreviewDlg::~CPreviewDlg() { shutDown(); }

void CPreviewDlg::setErrorReporter(std::function<void(const QString&)> reporter)
{
    m_report = std::move(reporter);
}

bool CPreviewDlg::start()
{
    m_device = m_opener ? m_opener(m_player.deviceFormat(), m_player.bufferFrames()) : nullptr;
    if (m_device == nullptr) {
        fail(kDeviceFailed);
        return false;
    }
    if (!m_player.attach(*m_device)) {
        fail(kBufferFailed);
        return false;
    }
    m_attached = true;
    if (!m_feeder.start([this] { m_player.tick(); })) {
        fail(QString::fromUtf8(Text(TextId::kFailedCreatingThread).data()));
        return false;
    }
    m_display.start();
    return true;
}

void CPreviewDlg::fail(const QString& text)
{
    shutDown();
    if (m_report)
        m_report(text);
}

void CPreviewDlg::onPlay()
{
    if (!m_attached)
        return;
    if (!m_player.playing())
        m_player.setSlider(static_cast<std::uint32_t>(m_slider->value()));
    m_player.setLoopEnabled(m_loop->isChecked());
    if (!m_player.play()) {
        // The device went away since it opened.
        fail(kDeviceFailed);
        reject();
        return;
    }
    showStatus(m_player.display(true));
}

void CPreviewDlg::onStop()
{
    if (m_attached)
        showStatus(m_player.stop());
}

void CPreviewDlg::onDisplayTimer()
{
    if (!m_attached)
        return;
    m_player.setLoopEnabled(m_loop->isChecked());
    // While stopped the slider is the user's: the position follows it.
    if (!m_player.playing())
        m_player.setSlider(static_cast<std::uint32_t>(m_slider->value()));
    showStatus(m_player.refresh());
}

void CPreviewDlg::showStatus(const preview::PreviewDisplay& shown)
{
    m_status->setText(
        QString::fromUtf8(shown.text.data(), static_cast<qsizetype>(shown.text.size())));
    if (shown.moveSlider) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(static_cast<int>(shown.slider));
    }
}

void CPreviewDlg::done(int result)
{
    shutDown();
    QDialog::done(result);
}

void CPreviewDlg::shutDown()
{
    m_display.stop();
    m_feeder.stop(); // no step runs after this
    if (m_attached) {
        m_player.detach();
        m_attached = false;
    }
    if (m_device != nullptr) {
        m_device->close();
        m_device.reset();
    }
}

bool RunPreview(Ctest122Doc& document, ViewServices& services, PreviewMode mode,
    std::uint32_t soundId, QWidget* parent)
{
    Project* project = document.project();
    if (project == nullptr)
        return false;
    const std::unique_ptr<preview::PreviewPlayer> player = preview::PreparePreview(
        *project, document.pathName(), services.messages(), KindOf(mode), soundId);
    if (player == nullptr)
        return false;
    CPreviewDlg dialog(*player, parent);
    if (!dialog.start())
        return false;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
    return true;
}

} // namespace vellisto::ui
