// SPDX-License-Identifier: MIT
#pragma once

// The seven primitives that create, grow, merge, filter, sort and search a
// track's event array. Every array is rebuilt at its exact new size plus the
// sentinel entry; order among events of equal time is the order in which the
// engine applies them and is kept by every primitive. Each returns false when
// memory runs out and then leaves the track as it was (ResetEvents leaves it
// empty). None touches the track's flags.

#include "model/Project.h"

#include <cstdint>

namespace vellisto {

// Releases the array and makes a new one of n zero events plus the sentinel.
bool ResetEvents(Track& track, std::uint32_t n);

// Inserts n zero events before index position (clamped to count).
bool InsertGap(Track& track, std::uint32_t n, std::uint32_t position);

// Inserts one event after every event whose time is less than or equal to its time.
bool InsertSorted(Track& track, const Event& event);

// Merges the sorted events of other into track; on equal times track's events
// come first. other is left as it was.
bool MergeEvents(Track& track, const Track& other);

// Removes every event whose flags share a bit with mask.
bool RemoveByMask(Track& track, std::uint32_t mask);

// Stable merge sort by time.
bool SortByTime(Track& track);

// Index of the first event at or after time; count when there is none.
std::uint32_t LowerBound(Track& track, std::uint32_t time);

// Turns a track that never held events into the sentinel-only array.
bool EnsureEventArray(Track& track);

} // namespace vellisto
