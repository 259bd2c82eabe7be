// SPDX-License-Identifier: MIT
#pragma once

// Start-up of the desktop program, in its fixed order: the toolkit, the
// settings file's place, the shared lookup tables of the engine and the
// importers, the text table, the recent-file list, the main frame (which
// accepts dropped files), then the files named on the command line. A plain
// start opens nothing.

#include <QString>
#include <QStringList>
#include <memory>

namespace vellisto::ui {

class MainFrame;

// The INI file named after the executable, in the executable's folder when
// that folder is writable, otherwise in the user's configuration folder.
QString DefaultSettingsPath();

// Every step after the toolkit's own: builds the tables, makes the main
// frame with the recent-file list of settingsPath and opens each file. The
// frame is returned not yet shown.
std::unique_ptr<MainFrame> StartUp(const QStringList& files, const QString& settingsPath);

// The program: command line, start-up, the main window, the event loop.
int RunApplication(int argc, char** argv);

} // namespace vellisto::ui
