// SPDX-License-Identifier: MIT
#include "import/TrackAppender.h"

#include "model/EventList.h"

#include <algorithm>

namespace vellisto::import {

bool TrackAppender::grow()
{
    Track& track = *m_track;
    // Whole blocks, doubling the array: a fixed step would copy a long track
    // once per 1024 events.
    const std::uint64_t blocks = std::max<std::uint64_t>(1, track.count / kGrowthBlock);
    const std::uint64_t gap = blocks * kGrowthBlock;
    if (std::uint64_t { track.count } + gap >= kSentinelTime)
        return false;
    const std::uint32_t oldCount = track.count;
    if (!InsertGap(track, static_cast<std::uint32_t>(gap), oldCount))
        return false;
    for (std::uint32_t i = oldCount; i < track.count; ++i)
        track.events[i].flags = kEventSelected;
    return true;
}

bool TrackAppender::append(const Event& event)
{
    if (std::uint64_t { m_appended } + m_headroom >= m_track->count && !grow())
        return false;
    m_track->events[m_appended++] = event;
    return true;
}

} // namespace vellisto::import
