// SPDX-License-Identifier: MIT
#include "model/EventList.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vellisto {

namespace {

    // n events plus the sentinel, all zero; null when out of memory.
    std::unique_ptr<Event[]> AllocateEvents(std::uint64_t n)
    {
        // count is a 32-bit word: an array that could not be counted is refused.
        if (n >= 0xFFFFFFFFull)
            return nullptr;
        return std::unique_ptr<Event[]>(
            new (std::nothrow) Event[static_cast<std::size_t>(n) + 1]());
    }

    void Install(Track& track, std::unique_ptr<Event[]> events, std::uint32_t count)
    {
        track.events = std::move(events);
        track.count = count;
        track.events[count].time = kSentinelTime;
    }

    void SortRange(Event* events, Event* scratch, std::uint32_t n)
    {
        if (n < 2)
            return;
        if (n == 2) {
            if (events[1].time < events[0].time)
                std::swap(events[0], events[1]);
            return;
        }
        const std::uint32_t first = (n + 1) / 2;
        const std::uint32_t second = n / 2;
        SortRange(events, scratch, first);
        SortRange(events + first, scratch, second);
        // Take from the second part only on a strictly smaller time: the sort is stable.
        std::uint32_t a = 0;
        std::uint32_t b = first;
        std::uint32_t out = 0;
        while (a < first && b < n) {
            if (events[b].time < events[a].time)
                scratch[out++] = events[b++];
            else
                scratch[out++] = events[a++];
        }
        while (a < first)
            scratch[out++] = events[a++];
        while (b < n)
            scratch[out++] = events[b++];
        std::memcpy(events, scratch, sizeof(Event) * n);
    }

} // namespace

bool EnsureEventArray(Track& track)
{
    if (track.events)
        return true;
    return ResetEvents(track, 0);
}

bool ResetEvents(Track& track, std::uint32_t n)
{
    track.events.reset();
    track.count = 0;
    auto events = AllocateEvents(n);
    if (!events)
        return false;
    Install(track, std::move(events), n);
    return true;
}

bool InsertGap(Track& track, std::uint32_t n, std::uint32_t position)
{
    if (!EnsureEventArray(track))
        return false;
    position = std::min(position, track.count);
    auto events = AllocateEvents(std::uint64_t { track.count } + n);
    if (!events)
        return false;
    std::copy_n(track.events.get(), position, events.get());
    std::copy_n(track.events.get() + position, track.count - position, events.get() + position + n);
    Install(track, std::move(events), track.count + n);
    return true;
}

bool InsertSorted(Track& track, const Event& event)
{
    if (!EnsureEventArray(track))
        return false;
    auto events = AllocateEvents(std::uint64_t { track.count } + 1);
    if (!events)
        return false;
    // The first old event strictly later than the new one; the sentinel stops the walk.
    std::uint32_t at = 0;
    while (at < track.count && track.events[at].time <= event.time)
        ++at;
    std::copy_n(track.events.get(), at, events.get());
    events[at] = event;
    std::copy_n(track.events.get() + at, track.count - at, events.get() + at + 1);
    Install(track, std::move(events), track.count + 1);
    return true;
}

bool MergeEvents(Track& track, const Track& other)
{
    if (!EnsureEventArray(track))
        return false;
    const std::uint32_t otherCount = other.events ? other.count : 0;
    auto events = AllocateEvents(std::uint64_t { track.count } + otherCount);
    if (!events)
        return false;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t out = 0;
    // Equal times take this track's event first: pasted events follow existing ones.
    while (a < track.count || b < otherCount) {
        if (b < otherCount && (a == track.count || other.events[b].time < track.events[a].time))
            events[out++] = other.events[b++];
        else
            events[out++] = track.events[a++];
    }
    Install(track, std::move(events), out);
    return true;
}

bool RemoveByMask(Track& track, std::uint32_t mask)
{
    if (!EnsureEventArray(track))
        return false;
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < track.count; ++i)
        kept += (track.events[i].flags & mask) == 0;
    auto events = AllocateEvents(kept);
    if (!events)
        return false;
    std::uint32_t out = 0;
    for (std::uint32_t i = 0; i < track.count; ++i) {
        if ((track.events[i].flags & mask) == 0)
            events[out++] = track.events[i];
    }
    Install(track, std::move(events), kept);
    return true;
}

bool SortByTime(Track& track)
{
    if (!EnsureEventArray(track))
        return false;
    auto scratch = AllocateEvents(track.count);
    if (!scratch)
        return false;
    SortRange(track.events.get(), scratch.get(), track.count);
    track.events[track.count].time = kSentinelTime;
    return true;
}

std::uint32_t LowerBound(Track& track, std::uint32_t time)
{
    if (!EnsureEventArray(track))
        return 0;
    std::uint32_t lo = 0;
    std::uint32_t hi = track.count;
    if (hi == 0)
        return 0;
    for (;;) {
        const std::uint32_t mid = static_cast<std::uint32_t>((std::uint64_t { lo } + hi) / 2);
        if (track.events[mid].time < time) {
            if (lo + 1 == hi)
                return hi;
            lo = mid;
        } else {
            if (mid == 0 || track.events[mid - 1].time < time)
                return mid;
            hi = mid;
        }
    }
}

} // namespace vellisto
