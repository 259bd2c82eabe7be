// SPDX-License-Identifier: MIT
// The desktop program as a user meets it, under the off-screen platform:
// start-up, the File commands with their dialogs, dropped files, the menus'
// states, the project view's commands, the mix with its progress dialog,
// saving and closing. Every dialog is answered by the test's script.

#include "UiTestSupport.h"
#include "model/ProjectFile.h"
#include "ui/AboutDialog.h"
#include "ui/Application.h"
#include "ui/CLoadOptionDlg.h"
#include "ui/CNumberEditDlg.h"
#include "ui/CProgressDlg.h"
#include "ui/Ctest122View.h"
#include "ui/DesktopInterface.h"
#include "ui/MainFrame.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

using namespace vellisto;
using namespace vellisto::ui;
using testing::DialogScript;
using testing::TestData;
using views::CommandId;

namespace {

QStringList MenuTitles(QMainWindow& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions())
        titles << action->text();
    return titles;
}

Ctest122View* ActiveProjectView(MainFrame& frame)
{
    QMdiSubWindow* window = frame.mdiArea()->currentSubWindow();
    return window ? qobject_cast<Ctest122View*>(window->widget()) : nullptr;
}

// Answers a message box with button, keeping its text.
std::function<void(QMessageBox*)> Press(QMessageBox::StandardButton button, QString* text = nullptr)
{
    return [button, text](QMessageBox* box) {
        if (text != nullptr)
            *text = box->text();
        box->button(button)->click();
    };
}

std::function<void(QFileDialog*)> Choose(const QString& path)
{
    return [path](QFileDialog* dialog) {
        // The whole path typed into the name box, as a user may type it: it
        // does not depend on the dialog having read its folder yet.
        dialog->selectFile(path);
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

std::function<void(CLoadOptionDlg*)> AnswerCompatibility(int index, const QString& rate)
{
    return [index, rate](CLoadOptionDlg* dialog) {
        dialog->compatibilityList()->setCurrentIndex(index);
        dialog->rateBox()->setCurrentText(rate);
        dialog->accept();
    };
}

std::vector<std::uint8_t> ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

class AppTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    QString settingsPath() const { return m_folder->filePath(QStringLiteral("vellisto.ini")); }
    QString scratch(const char* name) const { return m_folder->filePath(QLatin1String(name)); }

    // The script must have run to its end, with no dialog left unanswered.
    static void finish(DialogScript& script)
    {
        QTRY_VERIFY_WITH_TIMEOUT(script.finished(), 10000);
        QVERIFY2(script.failures().isEmpty(), qPrintable(script.failures().join('\n')));
    }

private slots:
    void init() { m_folder = std::make_unique<QTemporaryDir>(); }

    void aPlainStartOpensNothingAndShowsTheMenusWithoutADocument()
    {
        DialogScript script;
        const auto frame = StartUp({}, settingsPath());
        frame->show();
        QCOMPARE(frame->documentCount(), std::size_t { 0 });
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vellisto"));
        QCOMPARE(MenuTitles(*frame),
            QStringList(
                { QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help") }));
        QTest::qWait(50);
        QVERIFY(script.seen().isEmpty()); // no "Compatibility and Format" at start-up
    }

    void aFileOnTheCommandLineOpensWithItsProjectViewAndJoinsTheRecentList()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        QCOMPARE(frame->documentCount(), std::size_t { 1 });
        Ctest122View* view = ActiveProjectView(*frame);
        QVERIFY(view != nullptr);
        QCOMPARE(view->windowTitle(), QStringLiteral("Project [kit.spj]"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vellisto - kit.spj"));
        QCOMPARE(MenuTitles(*frame),
            QStringList({ QStringLiteral("&File"), QStringLiteral("&Edit"), QStringLiteral("&View"),
                QStringLiteral("&Window"), QStringLiteral("&Help") }));
        // The list is in the settings file for the next start.
        QSettings settings(settingsPath(), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("Recent File List/File1")).toByteArray(),
            QFile::encodeName(QFileInfo(TestData("golden/kit.spj")).absoluteFilePath()));
        const auto again = StartUp({}, settingsPath());
        QCOMPARE(again->recentFiles().paths().size(), std::size_t { 1 });
    }

    void fileNewAsksForCompatibilityAndFormat()
    {
        const auto frame = StartUp({}, settingsPath());
        frame->show();
        DialogScript script;
        script.then<CLoadOptionDlg>([](CLoadOptionDlg* dialog) {
            // It opens on the defaults, with all six compatibility entries.
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Compatibility and Format"));
            QCOMPARE(dialog->compatibilityList()->count(), 6);
            QCOMPARE(dialog->compatibilityList()->currentIndex(), 0);
            QVERIFY(dialog->compatibilityList()->isEnabled());
            QCOMPARE(dialog->rateBox()->currentText(), QStringLiteral("44100"));
            QCOMPARE(dialog->rateBox()->count(), 11);
            QCOMPARE(dialog->bitsBox()->currentText(), QStringLiteral("16"));
            QCOMPARE(dialog->channelsBox()->currentText(), QStringLiteral("2"));
            AnswerCompatibility(5, QStringLiteral("22050"))(dialog);
        });
        frame->commandAction(CommandId::kFileNew)->trigger();
        finish(script);
        Ctest122Doc* document = frame->activeDocument();
        QVERIFY(document != nullptr);
        const ProjectSettings& settings = document->project()->settings;
        QCOMPARE(settings.playingPriority, 0u);
        QCOMPARE(settings.stoppingRules, 0u);
        QCOMPARE(settings.changingStress, 0u);
        QCOMPARE(settings.changingPitch, 0u);
        QCOMPARE(settings.outputFormat.samplesPerSecond, 22050u);
        QCOMPARE(settings.outputFormat.blockAlign, std::uint16_t { 4 });
        QCOMPARE(settings.outputFormat.averageBytesPerSecond, 88200u);
        QVERIFY(ActiveProjectView(*frame)->windowTitle().startsWith(
            QStringLiteral("Project [New Project")));

        // Cancelled, no window is made.
        script.then<CLoadOptionDlg>([](CLoadOptionDlg* dialog) { dialog->reject(); });
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
        finish(script);
        QCOMPARE(frame->documentCount(), std::size_t { 1 });
    }

    void scoresOpenAfterTheCompatibilityChoiceFromTheMenuAndByDropping()
    {
        const auto frame = StartUp({}, settingsPath());
        frame->show();
        DialogScript script;
        script.then<QFileDialog>(Choose(TestData("golden/song.mid")))
            .then<CLoadOptionDlg>(AnswerCompatibility(0, QStringLiteral("44100")));
        frame->commandAction(CommandId::kFileOpen)->trigger();
        finish(script);
        QCOMPARE(frame->documentCount(), std::size_t { 1 });
        Ctest122Doc* song = frame->activeDocument();
        QCOMPARE(ActiveProjectView(*frame)->windowTitle(), QStringLiteral("Project [song.mid]"));
        QVERIFY(song->project()->tracks[0].count + song->project()->tracks[1].count > 0);

        // Dropped on the main window: the chart is imported after the same choice.
        script.then<CLoadOptionDlg>(AnswerCompatibility(0, QStringLiteral("44100")));
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(TestData("golden/chart.bms")) });
        QDragEnterEvent enter(
            QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &drop);
        QTRY_COMPARE(frame->documentCount(), std::size_t { 2 });
        finish(script);
        QCOMPARE(ActiveProjectView(*frame)->windowTitle(), QStringLiteral("Project [chart.bms]"));
        bool anySound = false;
        for (const SoundSlot& slot : frame->activeDocument()->project()->sounds)
            anySound = anySound || !slot.empty();
        QVERIFY(anySound);

        // A project file opens without a question; the same file again
        // brings its window forward instead of a second document.
        QVERIFY(frame->openFile(TestData("golden/kit.spj")) != nullptr);
        QVERIFY(frame->openFile(TestData("golden/kit.spj")) != nullptr);
        QCOMPARE(frame->documentCount(), std::size_t { 3 });
        QVERIFY(script.failures().isEmpty());
    }

    void theStandardChartRulesAreAFileMenuChoiceRememberedForTheNextStart()
    {
        QFile chart(scratch("ids.bms"));
        QVERIFY(chart.open(QIODevice::WriteOnly));
        chart.write("#WAV0Z kick.wav\r\n#WAVZZ far.wav\r\n#00111:0ZZZ\r\n");
        chart.close();

        const auto frame = StartUp({}, settingsPath());
        frame->show();
        QAction* rules = frame->commandAction(CommandId::kStandardChartRules);
        QVERIFY(rules->isEnabled());
        QVERIFY(!rules->isChecked());
        rules->trigger();
        QVERIFY(rules->isChecked());
        QCOMPARE(QSettings(settingsPath(), QSettings::IniFormat)
                     .value(QStringLiteral("Charts/Rules"))
                     .toString(),
            QStringLiteral("standard"));

        // Base-36 numbers are read, and the one beyond the table is reported.
        DialogScript script;
        QString notice;
        script.then<CLoadOptionDlg>(AnswerCompatibility(0, QStringLiteral("44100")))
            .then<QMessageBox>([&notice](QMessageBox* box) {
                notice = box->text() + QLatin1Char('|') + box->informativeText();
                box->button(QMessageBox::Ok)->click();
            });
        Ctest122Doc* standard = frame->openFile(chart.fileName());
        finish(script);
        QVERIFY(standard != nullptr);
        QVERIFY(!standard->project()->sounds[35].empty());
        QCOMPARE(notice,
            QStringLiteral("The chart is open. These parts of it were skipped:|byte 17: sound ZZ "
                           "is beyond the 1024-sound table; skipped"));

        // The next start reads the choice back; turned off, charts open as before.
        const auto next = StartUp({}, settingsPath());
        QAction* nextRules = next->commandAction(CommandId::kStandardChartRules);
        QVERIFY(nextRules->isChecked());
        nextRules->trigger();
        QVERIFY(!nextRules->isChecked());
        script.then<CLoadOptionDlg>(AnswerCompatibility(0, QStringLiteral("44100")));
        Ctest122Doc* design = next->openFile(chart.fileName());
        finish(script);
        QVERIFY(design != nullptr);
        QVERIFY(design->project()->sounds[35].empty());
        QCOMPARE(QSettings(settingsPath(), QSettings::IniFormat)
                     .value(QStringLiteral("Charts/Rules"))
                     .toString(),
            QStringLiteral("design"));
    }

    void aDamagedFileIsReportedAndOpensNothing()
    {
        QFile damaged(scratch("damaged.spj"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("SPRU\x01\x00\x00\x00garbage", 15);
        damaged.close();
        const auto frame = StartUp({}, settingsPath());
        DialogScript script;
        QString text;
        script.then<QMessageBox>([&text](QMessageBox* box) {
            text = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(frame->openFile(damaged.fileName()) == nullptr);
        finish(script);
        QCOMPARE(text, QStringLiteral("Error|Failed in loading a project file."));
        QCOMPARE(frame->documentCount(), std::size_t { 0 });
    }

    void menuStatesFollowTheActiveDocument()
    {
        const auto frame = StartUp({}, settingsPath());
        frame->show();
        const auto enabled = [&](CommandId id) { return frame->commandAction(id)->isEnabled(); };
        QVERIFY(enabled(CommandId::kFileNew));
        QVERIFY(enabled(CommandId::kFileOpen));
        QVERIFY(enabled(CommandId::kAppAbout));
        QVERIFY(!enabled(CommandId::kFileSave));
        QVERIFY(!enabled(CommandId::kFileClose));
        QVERIFY(!enabled(CommandId::kEditUndo));
        QVERIFY(!enabled(CommandId::kFilePrint));
        QVERIFY(frame->commandAction(CommandId::kViewToolbar)->isChecked());

        QVERIFY(frame->openFile(TestData("golden/kit.spj")) != nullptr);
        QVERIFY(enabled(CommandId::kFileSave));
        QVERIFY(enabled(CommandId::kFileSaveAs));
        QVERIFY(enabled(CommandId::kFileClose));
        QVERIFY(enabled(CommandId::kWindowNew));
        QVERIFY(!enabled(CommandId::kEditUndo)); // nothing to undo yet
        // The project view handles no Edit or View command.
        QVERIFY(!enabled(CommandId::kEditCopy));
        QVERIFY(!enabled(CommandId::kShowBySample));
        QVERIFY(!enabled(CommandId::kFilePrint));

        // An undo step enables Undo; undoing it enables Redo.
        testing::ScriptedUserInterface ui;
        Ctest122Doc* document = frame->activeDocument();
        QVERIFY(RecordUndoStep(*document, ui, false));
        document->UpdateAllViews();
        QVERIFY(enabled(CommandId::kEditUndo));
        frame->commandAction(CommandId::kEditUndo)->trigger();
        QVERIFY(!enabled(CommandId::kEditUndo));
        QVERIFY(enabled(CommandId::kEditRedo));

        // The toolbar command hides it and clears its check mark.
        frame->commandAction(CommandId::kViewToolbar)->trigger();
        QVERIFY(frame->toolBar()->isHidden());
        QVERIFY(!frame->commandAction(CommandId::kViewToolbar)->isChecked());

        // About shows the version line.
        DialogScript script;
        QString version;
        script.then<AboutDialog>([&version](AboutDialog* about) {
            version = about->windowTitle() + QLatin1Char('|')
                + about->findChild<QLabel*>(QStringLiteral("versionLine"))->text();
            about->accept();
        });
        frame->commandAction(CommandId::kAppAbout)->trigger();
        finish(script);
        QCOMPARE(version, QStringLiteral("About|Vellisto Version 2.7"));

        // Prompts and tooltips.
        QCOMPARE(frame->commandAction(CommandId::kSetRangeAndData)->statusTip(),
            QStringLiteral("Set range and data"));
        QCOMPARE(frame->commandAction(CommandId::kFileSave)->toolTip(), QStringLiteral("Save"));
        QCOMPARE(frame->commandAction(CommandId::kEditCopy)->shortcuts(),
            QList<QKeySequence>({ QKeySequence(QStringLiteral("Ctrl+C")),
                QKeySequence(QStringLiteral("Ctrl+Ins")) }));
    }

    void projectViewCommandsTellTheUser()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        Ctest122View* view = ActiveProjectView(*frame);
        QVERIFY(view != nullptr);
        DialogScript script;
        QString cleared, preview;
        script.then<QMessageBox>(Press(QMessageBox::Ok, &cleared))
            .then<QDialog>([&](QDialog* dialog) {
                preview = dialog->windowTitle();
                dialog->reject();
            });
        QTest::keyClick(view, Qt::Key_C);
        QTest::keyClick(view, Qt::Key_P);
        finish(script);
        QCOMPARE(cleared, QStringLiteral("Cleared the cache."));
        // The preview's dialog, or where no sound device can be opened (no
        // sound server here), its message saying so.
        QVERIFY2(
            preview == QStringLiteral("Preview") || preview == QStringLiteral("\u30A8\u30E9\u30FC"),
            qPrintable(preview));
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);

        // Every "open" makes a new window: two sound lists with the same title.
        QTest::keyClick(view, Qt::Key_S);
        QTest::keyClick(view, Qt::Key_S);
        QStringList titles;
        for (QMdiSubWindow* window : frame->mdiArea()->subWindowList())
            titles << window->windowTitle();
        QCOMPARE(titles.count(QStringLiteral("Sound List [kit.spj]")), 2);
        frame->mdiArea()->setActiveSubWindow(frame->mdiArea()->subWindowList().front());

        // Import Sound List, answered Cancel at the file dialog, changes nothing.
        script.then<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        view->runCommand(views::ProjectCommand::kImportSoundList);
        finish(script);
        QVERIFY(!frame->activeDocument()->isModified());
    }

    void theEditMenuFollowsTheActiveView()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        Ctest122Doc* document = frame->activeDocument();
        QVERIFY(document != nullptr);
        const auto enabled = [&](CommandId id) {
            frame->updateCommandStates();
            return frame->commandAction(id)->isEnabled();
        };
        // The project view handles no Edit command.
        QVERIFY(!enabled(CommandId::kEditCopy));
        QVERIFY(frame->openViewWindow(*document, ViewKind::kSoundList) != nullptr);
        QVERIFY(enabled(CommandId::kEditCopy));
        QVERIFY(!enabled(CommandId::kSetRangeAndData));
        QVERIFY(frame->openViewWindow(*document, ViewKind::kTrackEdit, 1) != nullptr);
        QVERIFY(enabled(CommandId::kSetRangeAndData));
        QVERIFY(enabled(CommandId::kEditErase));
    }

    void pressingMixDraggingOffAndReleasingDoesNothing()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        Ctest122View* view = ActiveProjectView(*frame);
        DialogScript script;
        QWidget* surface = view->viewport();
        QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(130, 10));
        QTest::mouseMove(surface, QPoint(130, 30));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(130, 30));
        QTest::qWait(100);
        QVERIFY(script.seen().isEmpty()); // no save dialog: the mix never started
    }

    void aMixRunsToItsReportOrStopsAtAbort()
    {
        // One second of silence: the mix ends by itself with its report.
        const QString shortProject = scratch("short.spj");
        QVERIFY(testing::WriteEventProject(shortProject.toStdString(), 44100, false));
        const auto frame = StartUp({ shortProject }, settingsPath());
        frame->show();
        DialogScript script;
        QString report;
        QString levels;
        const QString shortWave = scratch("short.wav");
        script.then<QFileDialog>(Choose(shortWave)).then<QMessageBox>([&](QMessageBox* box) {
            levels = box->informativeText();
            Press(QMessageBox::Ok, &report)(box);
        });
        ActiveProjectView(*frame)->runCommand(views::ProjectCommand::kMix);
        finish(script);
        QVERIFY2(report.startsWith(QStringLiteral("Finished mixing.\nTime to mix: ")),
            qPrintable(report));
        QVERIFY(report.contains(QStringLiteral(" seconds\nMixing speed: ")));
        QCOMPARE(levels, QStringLiteral("Peak level: -inf dBFS\nClipped samples: 0"));
        // 44 header bytes and 44100 stereo 16-bit frames.
        QCOMPARE(QFileInfo(shortWave).size(), qint64 { 44 + 44100 * 4 });
        QVERIFY(!frame->mixRunning());

        // About an hour of mono: Abort in the progress dialog stops it, and
        // no file is left behind.
        const QString longProject = scratch("long.spj");
        QVERIFY(testing::WriteEventProject(longProject.toStdString(), 160'000'000, true));
        QVERIFY(frame->openFile(longProject) != nullptr);
        const QString longWave = scratch("long.wav");
        QString aborted;
        bool refusedMeanwhile = false;
        script.then<QFileDialog>(Choose(longWave))
            .then<CProgressDlg>([&](CProgressDlg* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Please wait for a while..."));
                QCOMPARE(dialog->abortButton()->text(), QStringLiteral("Abort"));
                // While it runs, the frame refuses to save or close.
                refusedMeanwhile = frame->mixRunning()
                    && !frame->commandAction(CommandId::kFileSave)->isEnabled()
                    && !frame->commandAction(CommandId::kFileClose)->isEnabled();
                dialog->abortButton()->click();
            })
            .then<QMessageBox>(Press(QMessageBox::Ok, &aborted));
        ActiveProjectView(*frame)->runCommand(views::ProjectCommand::kMix);
        finish(script);
        QVERIFY(refusedMeanwhile);
        QCOMPARE(aborted, QStringLiteral("Aborted."));
        QVERIFY(!QFileInfo::exists(longWave));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files).filter(QStringLiteral("long")),
            QStringList({ QStringLiteral("long.spj") }));
    }

    void saveAsWritesAFileThatReadsBackEqual()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        Ctest122Doc* document = frame->activeDocument();
        document->setModified(true);
        DialogScript script;
        const QString copy = scratch("copy"); // the extension is added
        script.then<QFileDialog>(Choose(copy));
        frame->commandAction(CommandId::kFileSaveAs)->trigger();
        finish(script);
        const QString saved = copy + QStringLiteral(".spj");
        QVERIFY(QFileInfo::exists(saved));
        QVERIFY(!document->isModified());
        QCOMPARE(ActiveProjectView(*frame)->windowTitle(), QStringLiteral("Project [copy.spj]"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vellisto - copy.spj"));
        QCOMPARE(frame->recentFiles().paths().front(), saved.toStdString());

        std::unique_ptr<Project> readBack = CreateProject();
        QVERIFY(ReadProjectFile(saved.toStdString(), *readBack));
        QVERIFY(SerializeProjectFile(*readBack) == SerializeProjectFile(*document->project()));
        QVERIFY(ReadBytes(saved) == SerializeProjectFile(*document->project()));

        // Save on the project view's button now writes to that path.
        std::unique_ptr<Project> original = CreateProject();
        QVERIFY(ReadProjectFile(TestData("golden/kit.spj").toStdString(), *original));
        QVERIFY(SerializeProjectFile(*readBack) == SerializeProjectFile(*original));
        QFile::remove(saved);
        ActiveProjectView(*frame)->runCommand(views::ProjectCommand::kSave);
        QVERIFY(QFileInfo::exists(saved));
        QVERIFY(script.seen().size() == 1);
    }

    void savingUnderAScoreNameIsRefused()
    {
        const auto frame = StartUp({}, settingsPath());
        DialogScript script;
        QString refusal;
        script.then<CLoadOptionDlg>(AnswerCompatibility(0, QStringLiteral("44100")))
            .then<QMessageBox>(Press(QMessageBox::Ok, &refusal));
        Ctest122Doc* song = frame->openFile(TestData("golden/song.mid"));
        QVERIFY(song != nullptr);
        QVERIFY(!frame->saveDocument(*song));
        finish(script);
        QCOMPARE(refusal,
            QStringLiteral("You cannot save as a MIDI file. Please save as a project file."));
    }

    void closingAModifiedDocumentAsks()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        Ctest122Doc* document = frame->activeDocument();
        // A second window of the same project closes without a question.
        frame->commandAction(CommandId::kWindowNew)->trigger();
        QCOMPARE(frame->windowsOf(*document).size(), std::size_t { 2 });
        document->setModified(true);
        DialogScript script;
        frame->windowsOf(*document).back()->close();
        QTRY_COMPARE(frame->windowsOf(*document).size(), std::size_t { 1 });
        QVERIFY(script.seen().isEmpty());

        // The last one asks; Cancel keeps it open.
        QString question;
        script.then<QMessageBox>(Press(QMessageBox::Cancel, &question));
        frame->windowsOf(*document).front()->close();
        finish(script);
        QCOMPARE(question, QStringLiteral("Save changes to kit.spj?"));
        QCOMPARE(frame->documentCount(), std::size_t { 1 });

        // No closes it without saving.
        script.then<QMessageBox>(Press(QMessageBox::No));
        frame->commandAction(CommandId::kFileClose)->trigger();
        finish(script);
        QTRY_COMPARE(frame->documentCount(), std::size_t { 0 });
        QCOMPARE(frame->windowTitle(), QStringLiteral("Vellisto"));
        QCOMPARE(MenuTitles(*frame).size(), 3);
    }

    void exitAsksForEachModifiedDocument()
    {
        const auto frame = StartUp({ TestData("golden/kit.spj") }, settingsPath());
        frame->show();
        frame->activeDocument()->setModified(true);
        const QString shortProject = scratch("second.spj");
        QVERIFY(testing::WriteEventProject(shortProject.toStdString(), 10, false));
        frame->openFile(shortProject)->setModified(true);
        DialogScript script;
        QString first, second;
        script.then<QMessageBox>(Press(QMessageBox::No, &first))
            .then<QMessageBox>(Press(QMessageBox::Cancel, &second));
        QVERIFY(!frame->close());
        finish(script);
        QCOMPARE(first, QStringLiteral("Save changes to kit.spj?"));
        QCOMPARE(second, QStringLiteral("Save changes to second.spj?"));
        QCOMPARE(frame->documentCount(), std::size_t { 2 });
        script.then<QMessageBox>(Press(QMessageBox::No)).then<QMessageBox>(Press(QMessageBox::No));
        QVERIFY(frame->close());
        finish(script);
    }

    void theValueDialogsGiveBackWhatWasTyped()
    {
        QWidget parent;
        DesktopValueDialogs dialogs(&parent);
        DialogScript script;
        script.then<CNumberEditDlg>([](CNumberEditDlg* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Input"));
            QCOMPARE(dialog->edit()->selectedText(), QStringLiteral("1.5"));
            QTest::keyClicks(dialog->edit(), QStringLiteral("2:03.250"));
            dialog->accept();
        });
        QCOMPARE(dialogs.inputText("1.5"), std::optional<std::string>("2:03.250"));
        finish(script);

        // Format only: the compatibility stays as given; a bits text the list
        // lacks is kept rather than lost.
        CompatibilityChoice initial;
        initial.compatibility = Compatibility::kDrum;
        initial.rateText = "48000";
        initial.bitsText = "8";
        initial.channelsText = "1";
        script.then<CLoadOptionDlg>([](CLoadOptionDlg* dialog) {
            QVERIFY(!dialog->compatibilityList()->isEnabled());
            QCOMPARE(dialog->bitsBox()->currentText(), QStringLiteral("8"));
            dialog->channelsBox()->setCurrentText(QStringLiteral("2"));
            dialog->accept();
        });
        const auto choice = dialogs.chooseCompatibility(initial, true);
        finish(script);
        QVERIFY(choice.has_value());
        QCOMPARE(choice->compatibility, Compatibility::kDrum);
        QCOMPARE(choice->rateText, std::string("48000"));
        QCOMPARE(choice->bitsText, std::string("8"));
        QCOMPARE(choice->channelsText, std::string("2"));
    }

    void theProgressDialogShowsTheRemainingTimeAndAbortsWhenClosed()
    {
        struct Source final : ProgressSource {
            std::uint32_t current = 1000;
            bool aborted = false;
            bool done() const override { return false; }
            bool abortRequested() const override { return aborted; }
            std::uint32_t currentFrame() const override { return current; }
            std::uint32_t totalFrames() const override { return 5000; }
            void requestAbort() override { aborted = true; }
        } source;
        std::uint64_t now = 7000;
        {
            CProgressDlg dialog(source, [&now] { return now; });
            dialog.show();
            now += 1000;
            dialog.poll();
            QCOMPARE(dialog.remainingLabel()->text(), QStringLiteral("推定残り時間 00:04.000"));
            QCOMPARE(dialog.progressBar()->maximum(), 5000);
            QCOMPARE(dialog.progressBar()->value(), 1000);
            QVERIFY(!source.aborted);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(source.aborted);
        }
        // Destroyed before the worker is done: the abort is requested.
        source.aborted = false;
        {
            CProgressDlg dialog(source, [&now] { return now; });
        }
        QVERIFY(source.aborted);
    }

    void panelsScaleWithThePixelRatioWithoutBlurringText()
    {
        testing::ViewFakes fakes;
        Ctest122Doc document;
        QVERIFY(
            document.openDocument(TestData("golden/kit.spj").toStdString(), fakes.ui, fakes.ui));
        Ctest122View view(document, fakes.services, fakes.frame);
        view.resize(640, 320);
        QImage sharp(1280, 640, QImage::Format_RGB32);
        sharp.setDevicePixelRatio(2.0);
        view.render(&sharp);
        // The faces are the same pixels, each doubled: the right edge of
        // Save is black across both device columns.
        QCOMPARE(sharp.pixel(238, 20), qRgb(0, 0, 0));
        QCOMPARE(sharp.pixel(239, 20), qRgb(0, 0, 0));
        QCOMPARE(sharp.pixel(4, 20), qRgb(203, 203, 203));
        // The text is drawn at the device's resolution: a text scaled up
        // from single pixels would fill whole 2 x 2 blocks.
        int mixedBlocks = 0;
        for (int y = 120; y < 184; y += 2)
            for (int x = 360; x < 1000; x += 2) {
                const QRgb a = sharp.pixel(x, y);
                mixedBlocks += a != sharp.pixel(x + 1, y) || a != sharp.pixel(x, y + 1)
                    || a != sharp.pixel(x + 1, y + 1);
            }
        QVERIFY2(mixedBlocks > 100, qPrintable(QString::number(mixedBlocks)));
    }
};

QTEST_MAIN(AppTest)
#include "AppTest.moc"
