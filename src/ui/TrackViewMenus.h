// SPDX-License-Identifier: MIT
#pragma once

// The context menus of the track views and the keys of their menu
// commands. Items carry the command number, are enabled and checked as the
// view says, and the menu returns the chosen command. The keys are those of
// the main menu's accelerators, so that a view works the same on its own;
// where the main frame's actions hold the same keys, those take them first.

#include "ui/EventCommandTarget.h"

#include <QPoint>
#include <optional>

class QKeyEvent;
class QMenu;

namespace vellisto::ui {

// "&Copy", "&Paste", "&Erase".
void FillTrackListMenu(QMenu& menu, const EventCommandTarget& target);
// The clipboard and edit commands, then "Show by the &Sample" and "Show
// &Normalized Values".
void FillTrackEditMenu(QMenu& menu, const EventCommandTarget& target);
// As the track edit menu with "&Adding Event Mode", the zoom commands and the
// "Event &Graph" submenu of graph kinds.
void FillEventGraphMenu(QMenu& menu, const EventCommandTarget& target);

// Shows menu at globalPosition and returns the command chosen; none when
// the menu was closed without a choice.
std::optional<views::EventViewCommand> ChooseFromMenu(QMenu& menu, QPoint globalPosition);

// The command an accelerator key names: Delete, Ctrl+C / Ctrl+Insert, Ctrl+V
// / Shift+Insert, Ctrl+R, F, T, D, I, W, Esc, Shift+S, N, I, O.
std::optional<views::EventViewCommand> AcceleratorCommand(const QKeyEvent& event);

} // namespace vellisto::ui
