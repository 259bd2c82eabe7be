// SPDX-License-Identifier: MIT
#include "ui/TrackViewMenus.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace vellisto::ui {

namespace {

    using views::EventViewCommand;

    struct Item {
        const char* text; // null: a separator
        EventViewCommand command;
    };

    constexpr Item kClipboardItems[] = {
        { "&Copy", EventViewCommand::kCopy },
        { "&Paste", EventViewCommand::kPaste },
        { "&Erase", EventViewCommand::kErase },
    };

    constexpr Item kEditItems[] = {
        { "Set &Range and Data...", EventViewCommand::kSetRangeAndData },
        { "&Filter Events...", EventViewCommand::kFilterEvents },
        { "Stretch &Timelines...", EventViewCommand::kStretchTimelines },
        { "&Deselect", EventViewCommand::kDeselect },
        { "&Invert Selection", EventViewCommand::kInvertSelection },
        { "Open &Window about This Sound", EventViewCommand::kOpenSoundWindow },
    };

    void Add(QMenu& menu, const EventCommandTarget& target, const Item& item)
    {
        const views::CommandState state = target.commandState(item.command);
        QAction* action = menu.addAction(QString::fromLatin1(item.text));
        action->setData(static_cast<uint>(item.command));
        action->setEnabled(state.enabled);
        if (state.checked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }

    template <std::size_t N>
    void AddAll(QMenu& menu, const EventCommandTarget& target, const Item (&items)[N])
    {
        for (const Item& item : items)
            Add(menu, target, item);
    }

    void AddEditItems(QMenu& menu, const EventCommandTarget& target)
    {
        AddAll(menu, target, kClipboardItems);
        menu.addSeparator();
        AddAll(menu, target, kEditItems);
    }

    void AddShowItems(QMenu& menu, const EventCommandTarget& target)
    {
        Add(menu, target, { "Show by the &Sample", EventViewCommand::kShowBySample });
        Add(menu, target, { "Show &Normalized Values", EventViewCommand::kShowNormalized });
    }

} // namespace

void FillTrackListMenu(QMenu& menu, const EventCommandTarget& target)
{
    AddAll(menu, target, kClipboardItems);
}

void FillTrackEditMenu(QMenu& menu, const EventCommandTarget& target)
{
    AddEditItems(menu, target);
    menu.addSeparator();
    AddShowItems(menu, target);
}

void FillEventGraphMenu(QMenu& menu, const EventCommandTarget& target)
{
    AddEditItems(menu, target);
    Add(menu, target, { "&Adding Event Mode", EventViewCommand::kAddingEventsMode });
    menu.addSeparator();
    AddShowItems(menu, target);
    Add(menu, target, { "Zoom &In", EventViewCommand::kZoomIn });
    Add(menu, target, { "Zoom &Out", EventViewCommand::kZoomOut });

    QMenu* graph = menu.addMenu(QStringLiteral("Event &Graph"));
    Add(*graph, target, { "&Automatic", EventViewCommand::kGraphAutomatic });
    QMenu* play = graph->addMenu(QStringLiteral("Play(&0)"));
    Add(*play, target, { "Vol(&1)", EventViewCommand::kGraphPlayVolume });
    Add(*play, target, { "Pit(&2)", EventViewCommand::kGraphPlayPitch });
    constexpr Item kKinds[] = {
        { "Stop(&1)", EventViewCommand::kGraphStop },
        { "Volume(&3)", EventViewCommand::kGraphVolume },
        { "Balance(&4)", EventViewCommand::kGraphBalance },
        { "Stress(&5)", EventViewCommand::kGraphStress },
        { "Pitch(&6)", EventViewCommand::kGraphPitch },
    };
    AddAll(*graph, target, kKinds);
}

std::optional<views::EventViewCommand> ChooseFromMenu(QMenu& menu, QPoint globalPosition)
{
    const QAction* chosen = menu.exec(globalPosition);
    if (chosen == nullptr || !chosen->data().isValid())
        return std::nullopt;
    return views::EventViewCommandOf(chosen->data().toUInt());
}

std::optional<views::EventViewCommand> AcceleratorCommand(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers()
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = event.key();
    if (modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Delete)
            return EventViewCommand::kErase;
        if (key == Qt::Key_Escape)
            return EventViewCommand::kAddingEventsMode;
        return std::nullopt;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_C:
        case Qt::Key_Insert:
            return EventViewCommand::kCopy;
        case Qt::Key_V:
            return EventViewCommand::kPaste;
        case Qt::Key_R:
            return EventViewCommand::kSetRangeAndData;
        case Qt::Key_F:
            return EventViewCommand::kFilterEvents;
        case Qt::Key_T:
            return EventViewCommand::kStretchTimelines;
        case Qt::Key_D:
            return EventViewCommand::kDeselect;
        case Qt::Key_I:
            return EventViewCommand::kInvertSelection;
        case Qt::Key_W:
            return EventViewCommand::kOpenSoundWindow;
        default:
            return std::nullopt;
        }
    }
    if (modifiers == Qt::ShiftModifier) {
        switch (key) {
        case Qt::Key_Insert:
            return EventViewCommand::kPaste;
        case Qt::Key_S:
            return EventViewCommand::kShowBySample;
        case Qt::Key_N:
            return EventViewCommand::kShowNormalized;
        case Qt::Key_I:
            return EventViewCommand::kZoomIn;
        case Qt::Key_O:
            return EventViewCommand::kZoomOut;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace vellisto::ui
