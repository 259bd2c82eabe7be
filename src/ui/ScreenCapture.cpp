// SPDX-License-Identifier: MIT
// Pictures of the desktop program for its README, rendered without a
// display: the main window with a project's view, the "Compatibility and
// Format" dialog, and the progress dialog of a mix a fifth of the way in.
// Usage: vellisto-screens PROJECT OUTPUT_FOLDER

#include "engine/WaveWriter.h"
#include "model/Compatibility.h"
#include "ui/Application.h"
#include "ui/CLoadOptionDlg.h"
#include "ui/CProgressDlg.h"
#include "ui/MainFrame.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <cstdio>

using namespace vellisto;

namespace {

// A mix seen at one moment: 2.5 s after it started, a fifth rendered.
class StillProgress final : public ProgressSource {
public:
    explicit StillProgress(std::uint32_t totalFrames)
        : m_total(totalFrames)
    {
    }
    bool done() const override { return false; }
    bool abortRequested() const override { return false; }
    std::uint32_t currentFrame() const override { return m_total / 5; }
    std::uint32_t totalFrames() const override { return m_total; }
    void requestAbort() override { }

private:
    std::uint32_t m_total;
};

bool Save(QWidget& widget, const QDir& folder, const char* name)
{
    QApplication::processEvents();
    const QString path = folder.filePath(QLatin1String(name));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "vellisto-screens: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("screenshot: %s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: vellisto-screens PROJECT OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(arguments[2]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "vellisto-screens: cannot make %s\n", qPrintable(folder.path()));
        return 1;
    }

    const std::unique_ptr<ui::MainFrame> frame = ui::StartUp({ arguments[1] }, {});
    Ctest122Doc* document = frame->activeDocument();
    if (document == nullptr) {
        std::fprintf(stderr, "vellisto-screens: cannot open %s\n", qPrintable(arguments[1]));
        return 1;
    }
    frame->resize(760, 480);
    frame->show();
    if (QMdiSubWindow* window = frame->mdiArea()->currentSubWindow())
        window->move(12, 12);
    bool saved = Save(*frame, folder, "main-window.png");

    ui::CLoadOptionDlg compatibility(DefaultCompatibilityChoice(), false, frame.get());
    compatibility.show();
    saved = Save(compatibility, folder, "compatibility-dialog.png") && saved;
    compatibility.hide();

    const engine::MixPlan plan
        = engine::PlanMix(*document->project(), document->project()->settings.outputFormat);
    StillProgress still(plan.frames > 0 ? plan.frames : 441000);
    std::uint64_t now = 0;
    ui::CProgressDlg progress(
        still, [&now] { return now; }, frame.get());
    progress.show();
    now = 2500;
    progress.poll();
    saved = Save(progress, folder, "progress-dialog.png") && saved;
    progress.hide();
    return saved ? 0 : 1;
}
