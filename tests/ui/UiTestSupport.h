// SPDX-License-Identifier: MIT
#pragma once

// Helpers of the desktop program's tests:
//  - DialogScript answers the modal dialogs the program opens, in order, from
//    a timer that runs inside their event loops, and fails (closing the
//    dialog) on one nobody expected, so that no test waits on a dialog;
//  - ViewFakes give a view the scripted user interface and record what it
//    asks of the main frame;
//  - small builders of project files.

#include "document/Document.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "support/FakeClipboard.h"
#include "support/ScriptedUserInterface.h"
#include "ui/DocumentCommands.h"
#include "ui/ViewServices.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

namespace vellisto::testing {

inline QString TestData(const char* name)
{
    return QStringLiteral(VEL_TEST_DATA_DIR "/") + QLatin1String(name);
}

class DialogScript : public QObject {
public:
    // How long a dialog may stand unanswered before the script gives up on it.
    static constexpr int kPatienceMs = 5000;
    static constexpr int kRetryMs = 500;

    DialogScript()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }

    // The next dialog of type T is answered by act; other dialogs shown
    // before it (a progress dialog that closes itself) are left alone.
    template <class T> DialogScript& then(std::function<void(T*)> act)
    {
        m_steps.push_back([act](QWidget* widget) {
            T* dialog = qobject_cast<T*>(widget);
            if (dialog == nullptr)
                return false;
            act(dialog);
            return true;
        });
        return *this;
    }

    bool finished() const { return m_steps.empty(); }
    // Every modal dialog seen: its title, and a message box's text after " | ".
    const QStringList& seen() const { return m_seen; }
    const QStringList& failures() const { return m_failures; }

private:
    void tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        // A dialog that is still open well after its answer (a file dialog
        // busy reading its folder may ignore an early accept) is answered again.
        for (Handled& handled : m_handled) {
            if (handled.widget != modal)
                continue;
            if (handled.step && handled.since.elapsed() > kRetryMs) {
                handled.step(modal);
                handled.since.restart();
            }
            return;
        }
        if (modal != m_waitingOn) {
            m_waitingOn = modal;
            m_waiting.start();
            m_seen << Describe(modal);
        }
        if (!m_steps.empty() && m_steps.front()(modal)) {
            Handled handled { modal, std::move(m_steps.front()), {} };
            handled.since.start();
            m_steps.pop_front();
            m_handled.push_back(std::move(handled));
            m_waitingOn = nullptr;
            return;
        }
        if (m_waiting.elapsed() > kPatienceMs) {
            m_failures << QStringLiteral("unexpected dialog: ") + Describe(modal);
            m_handled.push_back({ modal, {}, {} });
            m_waitingOn = nullptr;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    }

    static QString Describe(QWidget* widget)
    {
        QString text = widget->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(widget))
            text += QStringLiteral(" | ") + box->text();
        return text;
    }

    QTimer m_timer;
    QElapsedTimer m_waiting;
    QPointer<QWidget> m_waitingOn;
    std::deque<std::function<bool(QWidget*)>> m_steps;
    struct Handled {
        QPointer<QWidget> widget;
        std::function<bool(QWidget*)> step; // empty for a dialog that was given up on
        QElapsedTimer since;
    };
    std::vector<Handled> m_handled;
    QStringList m_seen;
    QStringList m_failures;
};

// Records what a view asks of the main frame.
class RecordingFrame final : public ui::ViewOpener, public ui::DocumentCommands {
public:
    struct Opened {
        ui::ViewKind kind;
        std::uint32_t number;
    };
    std::vector<Opened> opened;
    int previews = 0;
    int saves = 0;
    int mixes = 0;
    bool mixing = false; // refuseWhileMixing answers this

    void openView(Ctest122Doc&, ui::ViewKind kind, std::uint32_t number) override
    {
        opened.push_back({ kind, number });
    }
    void openPreview(Ctest122Doc&, ui::PreviewMode, std::uint32_t) override { ++previews; }
    bool saveDocument(Ctest122Doc&) override { return ++saves, true; }
    bool mixDocument(Ctest122Doc&) override { return ++mixes, true; }
    bool refuseWhileMixing() override { return mixing; }
};

// The services a view is given, answered by the scripted user interface.
struct ViewFakes {
    ScriptedUserInterface ui;
    FakeClipboard clipboard;
    RecordingFrame frame;
    ui::ViewServices services { ui, ui, ui, ui, clipboard, frame };
};

// A project file at path with one event (a volume change, which needs no
// sound) at frame `time` of track 0; mono when `mono`, else the defaults.
inline bool WriteEventProject(const std::string& path, std::uint32_t time, bool mono)
{
    std::unique_ptr<Project> project = CreateProject();
    if (project == nullptr || !ResetEvents(project->tracks[0], 1))
        return false;
    project->tracks[0].events[0]
        = Event { kEventExists, time, EventTypeWord(EventType::kVolume), 1024, 0, 0 };
    if (mono) {
        OutputFormat& format = project->settings.outputFormat;
        format.channels = 1;
        format.blockAlign = 2;
        format.averageBytesPerSecond = 2 * format.samplesPerSecond;
    }
    return WriteProjectFile(*project, path) == ProjectWriteResult::kOk;
}

} // namespace vellisto::testing
