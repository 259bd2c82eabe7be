// SPDX-License-Identifier: MIT
// Writes pictures of the sound list, settings, sound settings and waveform
// windows of a project: vellisto-view-screens PROJECT.spj OUT_FOLDER [SOUND_ID]
// (sound 4 unless given). Runs without a display under
// QT_QPA_PLATFORM=offscreen.

#include "ViewScreens.h"
#include "document/Document.h"
#include "support/ScriptedUserInterface.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3 || arguments.size() > 4) {
        std::fprintf(stderr, "usage: vellisto-view-screens PROJECT.spj OUT_FOLDER [SOUND_ID]\n");
        return 2;
    }
    bool numberOk = true;
    const std::uint32_t soundId = arguments.size() == 4 ? arguments[3].toUInt(&numberOk) : 4;
    if (!numberOk || soundId >= 1024) {
        std::fprintf(stderr, "vellisto-view-screens: a sound ID is 0..1023\n");
        return 2;
    }
    vellisto::testing::ScriptedUserInterface ui;
    vellisto::Ctest122Doc document;
    const QByteArray path = QFile::encodeName(arguments[1]);
    if (!document.openDocument(path.toStdString(), ui, ui)) {
        std::fprintf(stderr, "vellisto-view-screens: cannot open %s: %s\n", path.constData(),
            ui.lastMessage().text.c_str());
        return 1;
    }
    QDir().mkpath(arguments[2]);
    const QStringList written = vellisto::testing::SaveViewScreens(document, soundId, arguments[2]);
    if (written.isEmpty()) {
        std::fprintf(stderr, "vellisto-view-screens: cannot write into %s\n",
            QFile::encodeName(arguments[2]).constData());
        return 1;
    }
    for (const QString& file : written)
        std::printf("%s\n", QFile::encodeName(file).constData());
    return 0;
}
