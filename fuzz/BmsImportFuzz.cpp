// SPDX-License-Identifier: MIT
// Any bytes read as a chart must import (malformed lines are ignored) into
// tracks of sorted, existing events with times within the edit ceiling, and
// sound names that fit their field. Tracks hold notes of defined sounds and
// one All Stop each, and the master volume follows the number of tracks.

#include "ImportChecks.h"
#include "import/BmsImport.h"
#include "model/Compatibility.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace vellisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto project = CreateProject();
    ApplyCompatibilityChoice(*project, DefaultCompatibilityChoice());
    if (!import::ImportBmsFile(*project, { data, size }, u"/charts/song/chart.bms"))
        std::abort(); // nothing but memory can fail
    CheckImportedTracks(*project, kTrackCount);
    // Every track that received notes ends the chart with one All Stop, and
    // the master volume shares the full scale among those tracks.
    std::uint32_t filled = 0;
    for (const Track& track : project->tracks) {
        std::uint32_t allStops = 0;
        for (std::uint32_t i = 0; i < track.count; ++i) {
            const Event& e = track.events[i];
            if (e.type == EventTypeWord(EventType::kAllStop))
                ++allStops;
            else if (e.type != EventTypeWord(EventType::kPlay)
                || project->sounds[e.data1].volume == 0)
                std::abort(); // only notes of defined sounds
        }
        if (allStops != (track.count > 0 ? 1u : 0u))
            std::abort();
        filled += track.count > 0 ? 1 : 0;
    }
    if (filled > 0
        && project->settings.masterVolume
            != static_cast<std::uint32_t>(1024.0 / std::sqrt(static_cast<double>(filled))))
        std::abort();
    for (const SoundSlot& sound : project->sounds) {
        if (sound.fileName[kNameUnits - 1] != 0)
            std::abort();
    }
    return 0;
}
