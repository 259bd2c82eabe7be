// SPDX-License-Identifier: MIT
#pragma once

// Appending imported events to the end of a track. The array grows through
// InsertGap by whole blocks of 1024 entries whose flags are set to the
// selected flag (2), marking them free; the importer removes the free entries
// (and any events it marked dropped the same way) with RemoveByMask when it is
// done. A block is at least 1024 entries and at least the size of the array
// so far, so a track of n events is copied O(n) times in total however long
// it gets.

#include "model/Project.h"

#include <cstdint>

namespace vellisto::import {

inline constexpr std::uint32_t kGrowthBlock = 1024;

class TrackAppender {
public:
    // headroom: the array grows once the events appended plus headroom reach
    // its number of entries.
    TrackAppender(Track& track, std::uint32_t headroom)
        : m_track(&track)
        , m_headroom(headroom)
    {
    }

    // false when the array could not grow (the track is then unchanged).
    bool append(const Event& event);

    std::uint32_t appended() const { return m_appended; }

private:
    bool grow();

    Track* m_track;
    std::uint32_t m_headroom;
    std::uint32_t m_appended = 0;
};

} // namespace vellisto::import
