// SPDX-License-Identifier: MIT
#pragma once

// What the track view widget tests share: a document with a new project,
// the services a view window gets (scripted messages and "Input" answers,
// the real event edit dialogs, an in-memory clipboard, an opener that
// records what it was asked to open), and helpers that answer a modal
// dialog or a pop-up menu once it shows.

#include "document/Document.h"
#include "model/EventList.h"
#include "support/FakeClipboard.h"
#include "support/ScriptedUserInterface.h"
#include "ui/QtEventEditDialogs.h"
#include "ui/ViewServices.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <utility>
#include <vector>

namespace vellisto::testing {

class RecordingOpener : public ui::ViewOpener {
public:
    std::vector<std::pair<ui::ViewKind, std::uint32_t>> opened;
    void openView(Ctest122Doc&, ui::ViewKind kind, std::uint32_t number) override
    {
        opened.emplace_back(kind, number);
    }
    void openPreview(Ctest122Doc&, ui::PreviewMode, std::uint32_t) override { }
};

// Messages and sound windows go to the script; the three dialogs are the real ones.
class QtDialogsEditor : public EditorUserInterface {
public:
    explicit QtDialogsEditor(ScriptedUserInterface& script)
        : m_script(script)
    {
    }
    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override
    {
        return m_script.showMessage(text, caption, buttons, detail);
    }
    bool editRangeAndData(RangeEditValues& values) override
    {
        return m_dialogs.editRangeAndData(values);
    }
    bool editFilter(FilterEditValues& values) override { return m_dialogs.editFilter(values); }
    bool editTimeStretch(TimeStretchValues& values) override
    {
        return m_dialogs.editTimeStretch(values);
    }
    void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) override
    {
        m_script.openSoundWindow(document, soundId);
    }

private:
    ScriptedUserInterface& m_script;
    ui::QtEventEditDialogs m_dialogs;
};

struct TrackViewsHarness {
    TrackViewsHarness()
    {
        CompatibilityChoice choice;
        choice.rateText = "44100";
        ui.compatibilityAnswers.push_back(choice);
        doc.newDocument(ui);
    }

    Track& track(std::uint32_t index) { return doc.project()->tracks[index]; }
    void fill(std::uint32_t index, const std::vector<Event>& events)
    {
        Track& target = track(index);
        ResetEvents(target, static_cast<std::uint32_t>(events.size()));
        std::copy(events.begin(), events.end(), target.events.get());
    }
    std::vector<std::uint32_t> column(std::uint32_t index, std::uint32_t Event::*word)
    {
        std::vector<std::uint32_t> values;
        for (std::uint32_t i = 0; i < track(index).count; ++i)
            values.push_back(track(index).events[i].*word);
        return values;
    }

    ScriptedUserInterface ui;
    FakeClipboard clipboard;
    RecordingOpener opener;
    QtDialogsEditor editor { ui };
    ui::ViewServices services { editor, ui, ui, ui, clipboard, opener };
    Ctest122Doc doc;
};

// Calls answer with the widget of type W once it is the active modal widget
// (or pop-up), from the event loop; polls for up to five seconds.
template <class W> void WhenShown(std::function<void(W*)> answer, int triesLeft = 500)
{
    QTimer::singleShot(10, [answer = std::move(answer), triesLeft] {
        QWidget* active = QApplication::activePopupWidget();
        if (active == nullptr)
            active = QApplication::activeModalWidget();
        if (W* widget = qobject_cast<W*>(active)) {
            answer(widget);
            return;
        }
        if (triesLeft > 0)
            WhenShown<W>(answer, triesLeft - 1);
    });
}

// Chooses the item of the pop-up menu whose text is path.back(), opening the
// submenus named before it. previous is the menu of the step before, which
// stays the active pop-up until the submenu has opened.
inline void ChooseMenuItem(
    std::vector<QString> path, QMenu* previous = nullptr, int triesLeft = 500)
{
    QTimer::singleShot(10, [path, previous, triesLeft] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || menu == previous) {
            if (triesLeft > 0)
                ChooseMenuItem(path, previous, triesLeft - 1);
            return;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() != path.front())
                continue;
            menu->setActiveAction(action);
            if (path.size() == 1) {
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                ChooseMenuItem(std::vector<QString>(path.begin() + 1, path.end()), menu);
                QTest::keyClick(menu, Qt::Key_Right);
            }
            return;
        }
        menu->close(); // no such item: the test sees nothing chosen
    });
}

// The texts of a pop-up menu's items once it shows (separators as ""), then closes it.
inline void ReadMenuAndClose(QStringList& texts, std::vector<bool>& checked)
{
    WhenShown<QMenu>([&texts, &checked](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            texts << action->text();
            checked.push_back(action->isChecked());
        }
        menu->close();
    });
}

inline QImage GrabView(QWidget& view, const char* pngName)
{
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(QStringLiteral(VEL_TEST_BUILD_DIR "/") + QLatin1String(pngName));
    return image;
}

// The top-left corner of the widget's viewport inside the widget.
inline QPoint ViewportOrigin(QAbstractScrollArea& view) { return view.viewport()->pos(); }

} // namespace vellisto::testing
