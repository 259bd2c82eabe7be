// SPDX-License-Identifier: MIT
#pragma once

// What every imported project must hold, checked by the import fuzz targets:
// the first trackCount tracks have an array ended by the sentinel, with
// existing events sorted by time and within the edit ceiling, and every Play
// and Stop names one of the sounds a score can address (256, or the whole
// table for charts read by the standard rules).

#include "model/Project.h"

#include <cstdlib>

// Sound IDs of imported events: MIDI programs and notes (0-127), drum notes
// (128-255) and channels; chart IDs 00-FF.
inline constexpr std::uint32_t kScoreSoundIds = 256;

inline void CheckImportedTracks(const vellisto::Project& project, std::size_t trackCount,
    std::uint32_t soundIds = kScoreSoundIds)
{
    using namespace vellisto;
    for (std::size_t t = 0; t < trackCount; ++t) {
        const Track& track = project.tracks[t];
        if (track.events == nullptr || track.events[track.count].time != kSentinelTime)
            std::abort();
        for (std::uint32_t i = 0; i < track.count; ++i) {
            const Event& e = track.events[i];
            if (e.flags != kEventExists || e.time > kMaxEditTime
                || (i > 0 && e.time < track.events[i - 1].time))
                std::abort();
            const bool namesSound = e.type == EventTypeWord(EventType::kPlay)
                || e.type == EventTypeWord(EventType::kStop);
            if (namesSound && e.data1 >= soundIds)
                std::abort();
        }
    }
}
