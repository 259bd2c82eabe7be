// SPDX-License-Identifier: MIT
#include "ui/Application.h"

#include "audio/SincTables.h"
#include "import/ImportTables.h"
#include "model/TextTable.h"
#include "ui/AppIcons.h"
#include "ui/MainFrame.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vellisto::ui {

QString DefaultSettingsPath()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString name = executable.completeBaseName() + QStringLiteral(".ini");
    const QFileInfo folder(executable.absolutePath());
    if (folder.isDir() && folder.isWritable())
        return QDir(folder.absoluteFilePath()).filePath(name);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return QDir(config).filePath(name);
}

std::unique_ptr<MainFrame> StartUp(const QStringList& files, const QString& settingsPath)
{
    // Built once, before any worker thread can read them.
    audio::BuildSincTables();
    import::BuildImportTables();
    auto frame = std::make_unique<MainFrame>(settingsPath);
    for (const QString& file : files)
        frame->openFile(file);
    return frame;
}

int RunApplication(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vellisto"));
    QApplication::setApplicationVersion(QStringLiteral("2.7"));
    QApplication::setDesktopFileName(QStringLiteral("vellisto"));
    QApplication::setWindowIcon(AppIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(FromUtf8(Text(TextId::kVersionLine)));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("A project (.spj), MIDI file (.mid) or BMS chart (.bms, .bme) to open."),
        QStringLiteral("[file...]"));
    parser.process(application);

    const std::unique_ptr<MainFrame> frame
        = StartUp(parser.positionalArguments(), DefaultSettingsPath());
    frame->show();
    return QApplication::exec();
}

} // namespace vellisto::ui
