// SPDX-License-Identifier: MIT
#pragma once

// What a chart writes into its project, under either rule set: the sound
// table's names, the base path and the settings a chart sets, fresh tracks
// to append notes to, and the ending of every track that received notes (its
// free entries removed, an All Stop added, the master volume shared among
// the tracks). One import per project at a time.

#include "import/TrackAppender.h"
#include "model/Project.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vellisto::import {

using TrackAppenders = std::array<std::optional<TrackAppender>, kTrackCount>;

// Sound slot's file name, volume 1.0, pitch 1.0 and no loop; the name is
// stored as "\" + name, cut so that it fits its field with the terminating
// zero (never inside a surrogate pair).
void DefineBmsSound(SoundSlot& slot, std::u16string_view name);

// The base path (the chart's folder: everything before its last '/' or '\';
// the whole path without one; empty when the folder is too long for the
// field), "None" mixing interpolation and "Play newer".
void SetBmsSettings(Project& project, std::u16string_view chartPath);

// Gives all tracks fresh empty arrays and an appender each; false when
// memory runs out.
bool ResetBmsTracks(Project& project, TrackAppenders& appenders);

// Removes the appenders' free entries, sets the master volume to
// trunc(1024 / sqrt(k)) for the k tracks that hold notes (1.0 when none
// does) and ends each of those tracks with an All Stop at allStopTime, in
// time order. false when memory runs out.
bool FinishBmsTracks(Project& project, std::uint32_t allStopTime);

} // namespace vellisto::import
