// SPDX-License-Identifier: MIT
#include "engine/MixState.h"

#include <cstring>
#include <type_traits>

namespace vellisto {

static_assert(std::has_unique_object_representations_v<ProjectSettings>,
    "settings are compared byte for byte");

namespace {

    bool SameTrack(const TrackMixState& a, const TrackMixState& b)
    {
        if (a.active != b.active || a.position != b.position || a.volume != b.volume
            || a.balance != b.balance || a.stress != b.stress || a.pitch != b.pitch
            || a.slotCount != b.slotCount || a.activeVoices != b.activeVoices
            || a.eventCursor != b.eventCursor)
            return false;
        for (std::size_t i = 0; i < a.voices.size(); ++i) {
            const Voice& va = a.voices[i];
            const Voice& vb = b.voices[i];
            if (va.active != vb.active || (va.active != 0 && !(va == vb)))
                return false;
        }
        return true;
    }

} // namespace

bool SameMixState(const MixState& a, const MixState& b)
{
    if (std::memcmp(&a.settings, &b.settings, sizeof a.settings) != 0 || a.position != b.position
        || a.accumulator.size() != b.accumulator.size())
        return false;
    for (std::size_t t = 0; t < a.tracks.size(); ++t) {
        if (!SameTrack(a.tracks[t], b.tracks[t]))
            return false;
    }
    return true;
}

} // namespace vellisto
