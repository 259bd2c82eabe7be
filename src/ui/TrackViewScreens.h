// SPDX-License-Identifier: MIT
#pragma once

// Pictures of the track views for a look at what they draw: the track list,
// the event list of the first track with events, the event graph of the last
// one as the Automatic graph and as the Play volume graph, each at its opening size,
// written as PNG files. The views are made off screen and closed again; the
// project is only read.

#include "ui/ViewServices.h"

#include <QString>
#include <QStringList>

namespace vellisto::ui {

// Writes track-list.png, track-edit.png, event-graph.png and
// event-graph-volume.png into folder (made when missing). Returns the files
// written; a file that could not be written is left out.
QStringList WriteTrackViewScreens(
    Ctest122Doc& document, ViewServices& services, const QString& folder);

} // namespace vellisto::ui
