// SPDX-License-Identifier: MIT
#include "ViewScreens.h"

#include "ViewTestServices.h"
#include "document/Document.h"
#include "ui/CSettingsView.h"
#include "ui/CSoundEditView.h"
#include "ui/CSoundView.h"
#include "ui/CSoundWaveView.h"

#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QTest>

namespace vellisto::testing {

namespace {

    // Shows the view at its opening size and saves what it paints.
    bool Save(ui::PanelWidget& view, const QString& path)
    {
        view.resize(view.sizeHint());
        view.show();
        QCoreApplication::processEvents();
        return view.grab().toImage().save(path);
    }

} // namespace

QStringList SaveViewScreens(Ctest122Doc& document, std::uint32_t soundId, const QString& folder)
{
    if (document.project() == nullptr)
        return {};
    FakeClipboard clipboard;
    ViewTestServices services(clipboard);
    const QDir dir(folder);
    QStringList written;
    const auto save = [&](ui::PanelWidget& view, const char* name) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        if (!Save(view, path))
            return false;
        written << path;
        return true;
    };

    ui::CSoundView list(document, services.services);
    // The sound as the current row: Down from row 0 scrolls like the keys do.
    for (std::uint32_t i = 0; i < soundId && i < 1023; ++i)
        QTest::keyClick(&list, Qt::Key_Down);
    ui::CSettingsView settings(document, services.services);
    ui::CSoundEditView sound(document, services.services, soundId);
    ui::CSoundWaveView wave(document, services.services, soundId);
    const bool ok = save(list, "sound-list.png") && save(settings, "settings.png")
        && save(sound, "sound-settings.png");
    if (!ok)
        return {};
    // A click a third of the way into the waveform shows the cursor box.
    wave.resize(wave.sizeHint());
    wave.show();
    const int x = std::min(wave.panel().contentWidth() - 640, 640) / 3;
    QTest::mouseClick(wave.viewport(), Qt::LeftButton, {}, QPoint(std::max(x, 1), 150));
    if (!save(wave, "waveform.png"))
        return {};
    return written;
}

} // namespace vellisto::testing
