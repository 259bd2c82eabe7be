// SPDX-License-Identifier: MIT
#include "import/MidiImport.h"

#include "import/ImportTables.h"
#include "import/MidiClock.h"
#include "import/MidiConverter.h"
#include "platform/File.h"

#include <new>
#include <queue>
#include <vector>

namespace vellisto::import {

namespace {

    // A file track waiting for its next event: the absolute tick of that
    // event and the track's place in the file. The merge always takes the
    // smallest tick, and on equal ticks the track that comes first in the
    // file, which is what comparing remaining delta times would choose; a
    // heap keeps that choice cheap for files with many tracks.
    struct Pending {
        std::uint64_t tick;
        std::uint32_t track;

        bool operator>(const Pending& other) const
        {
            return tick != other.tick ? tick > other.tick : track > other.track;
        }
    };
    using PendingQueue = std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>>;

    // Reads the track's next delta time and queues it, unless the track ends
    // there (its bytes run out inside or right after the delta).
    void QueueNext(
        PendingQueue& queue, MidiTrackReader& reader, std::uint32_t index, std::uint64_t now)
    {
        if (reader.atEnd())
            return;
        const auto delta = reader.readDelta();
        if (delta && !reader.atEnd())
            queue.push({ now + *delta, index });
    }

    using platform::FailRead;
    using platform::ReadErrorCode;

    bool Import(Project& project, std::span<const std::uint8_t> file, platform::ReadError* reason)
    {
        MidiFileLayout layout;
        if (!ReadMidiLayout(file, layout, reason))
            return false;

        BuildImportTables();
        MidiConverter converter(project);
        if (!converter.begin())
            return FailRead(reason, ReadErrorCode::kOutOfMemory);

        MidiClock clock(project.settings.outputFormat.samplesPerSecond, layout.division);
        std::vector<MidiTrackReader> readers(layout.tracks.begin(), layout.tracks.end());
        PendingQueue queue;
        for (std::uint32_t i = 0; i < readers.size(); ++i)
            QueueNext(queue, readers[i], i, 0);

        std::uint64_t now = 0; // ticks since the start
        while (!queue.empty()) {
            const Pending next = queue.top();
            queue.pop();
            // Deltas are below 2^32, so the step fits the clock's tick count.
            clock.advance(static_cast<std::uint32_t>(next.tick - now));
            now = next.tick;
            MidiTrackReader& reader = readers[next.track];
            const MidiEvent event = reader.readEvent();
            if (event.kind == MidiEventKind::kChannel) {
                if (!converter.convert(event, clock.eventTime()))
                    return FailRead(reason, ReadErrorCode::kOutOfMemory);
            } else if (event.kind == MidiEventKind::kTempo) {
                // The tempo counts from here on, for every file track.
                clock.setTempo(event.tempoMicros);
            }
            QueueNext(queue, reader, next.track, now);
        }
        if (!converter.finish())
            return FailRead(reason, ReadErrorCode::kOutOfMemory);
        return true;
    }

} // namespace

bool ImportMidiFile(
    Project& project, std::span<const std::uint8_t> file, platform::ReadError* reason)
{
    try {
        return Import(project, file, reason);
    } catch (const std::bad_alloc&) {
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
}

bool ImportMidiFile(Project& project, const std::string& nativePath, platform::ReadError* reason)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::ReadWholeFile(nativePath);
    } catch (const std::bad_alloc&) {
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
    if (!bytes)
        return FailRead(reason, ReadErrorCode::kCannotOpen);
    return ImportMidiFile(project, *bytes, reason);
}

} // namespace vellisto::import
