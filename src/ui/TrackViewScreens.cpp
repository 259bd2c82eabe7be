// SPDX-License-Identifier: MIT
#include "ui/TrackViewScreens.h"

#include "document/Document.h"
#include "ui/CTrackEditView.h"
#include "ui/CTrackGraphView.h"
#include "ui/CTrackView.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <optional>

namespace vellisto::ui {

namespace {

    // The first and the last track with events (0 when there is none).
    std::pair<std::uint32_t, std::uint32_t> UsedTracks(const Ctest122Doc& document)
    {
        const Project* project = document.project();
        std::optional<std::uint32_t> first;
        std::uint32_t last = 0;
        for (std::uint32_t track = 0; project && track < kTrackCount; ++track) {
            if (project->tracks[track].count > 0) {
                first = first.value_or(track);
                last = track;
            }
        }
        return { first.value_or(0), last };
    }

    void Save(PanelWidget& view, const QString& path, QStringList& written)
    {
        view.resize(view.sizeHint());
        view.show();
        // Scroll bars come and go on the next passes of the event loop.
        for (int pass = 0; pass < 3; ++pass)
            QApplication::processEvents();
        if (view.grab().toImage().save(path))
            written << path;
    }

} // namespace

QStringList WriteTrackViewScreens(
    Ctest122Doc& document, ViewServices& services, const QString& folder)
{
    QStringList written;
    if (!QDir().mkpath(folder))
        return written;
    const QDir out(folder);
    // The event list of the first track; the graphs of the last, where a
    // demo keeps its melody.
    const auto [firstTrack, lastTrack] = UsedTracks(document);

    CTrackView list(document, services);
    Save(list, out.filePath(QStringLiteral("track-list.png")), written);

    CTrackEditView edit(document, services, firstTrack);
    Save(edit, out.filePath(QStringLiteral("track-edit.png")), written);

    CTrackGraphView graph(document, services, lastTrack);
    // The Automatic graph from the top (the ruler and pitch 1.0 at y 255),
    // the volume graph around volume 1.0 (y 383).
    graph.resize(graph.sizeHint());
    graph.show();
    Save(graph, out.filePath(QStringLiteral("event-graph.png")), written);
    graph.runCommand(views::EventViewCommand::kGraphPlayVolume);
    graph.verticalScrollBar()->setValue(230);
    Save(graph, out.filePath(QStringLiteral("event-graph-volume.png")), written);
    return written;
}

} // namespace vellisto::ui
