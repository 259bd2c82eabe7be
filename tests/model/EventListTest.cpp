// SPDX-License-Identifier: MIT
#include "model/EventList.h"

#include <gtest/gtest.h>
#include <vector>

using namespace vellisto;

namespace {

// Builds a track from (time, data1) pairs; data1 tells equal times apart.
Track MakeTrack(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& events)
{
    Track track;
    EXPECT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(events.size())));
    for (std::size_t i = 0; i < events.size(); ++i)
        track.events[i] = { kEventExists, events[i].first, 0, events[i].second, 0, 0 };
    return track;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> Contents(const Track& track)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    for (std::uint32_t i = 0; i < track.count; ++i)
        out.emplace_back(track.events[i].time, track.events[i].data1);
    EXPECT_EQ(track.events[track.count].time, kSentinelTime);
    return out;
}

} // namespace

TEST(EventList, EmptyTrackGetsSentinelOnlyArray)
{
    Track track;
    EXPECT_EQ(LowerBound(track, 5), 0u);
    ASSERT_TRUE(track.events);
    EXPECT_EQ(track.count, 0u);
    EXPECT_EQ(track.events[0].time, kSentinelTime);
}

TEST(EventList, InsertSortedGoesAfterEqualTimes)
{
    Track track = MakeTrack({ { 50, 0 }, { 100, 1 }, { 100, 2 }, { 200, 3 } });
    ASSERT_TRUE(InsertSorted(track, { 1, 100, 0, 9, 0, 0 }));
    EXPECT_EQ(Contents(track),
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> {
            { 50, 0 }, { 100, 1 }, { 100, 2 }, { 100, 9 }, { 200, 3 } }));
}

TEST(EventList, MergeTakesOwnEventFirstOnTies)
{
    Track track = MakeTrack({ { 100, 1 }, { 300, 2 } });
    Track other = MakeTrack({ { 100, 7 } });
    ASSERT_TRUE(MergeEvents(track, other));
    EXPECT_EQ(Contents(track),
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> {
            { 100, 1 }, { 100, 7 }, { 300, 2 } }));
    EXPECT_EQ(other.count, 1u);
}

TEST(EventList, SortIsStable)
{
    Track track = MakeTrack({ { 300, 1 }, { 100, 2 }, { 300, 3 }, { 100, 4 } });
    ASSERT_TRUE(SortByTime(track));
    EXPECT_EQ(Contents(track),
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> {
            { 100, 2 }, { 100, 4 }, { 300, 1 }, { 300, 3 } }));
}

TEST(EventList, SortKeepsOrderOfManyEqualTimes)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> input;
    for (std::uint32_t i = 0; i < 1000; ++i)
        input.emplace_back((i * 7919u) % 13u, i);
    Track track = MakeTrack(input);
    ASSERT_TRUE(SortByTime(track));
    const auto sorted = Contents(track);
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        ASSERT_LE(sorted[i - 1].first, sorted[i].first);
        if (sorted[i - 1].first == sorted[i].first) {
            ASSERT_LT(sorted[i - 1].second, sorted[i].second);
        }
    }
}

TEST(EventList, LowerBoundFindsFirstAtOrAfter)
{
    Track track = MakeTrack({ { 50, 0 }, { 100, 1 }, { 100, 2 }, { 200, 3 } });
    EXPECT_EQ(LowerBound(track, 100), 1u);
    EXPECT_EQ(LowerBound(track, 250), 4u);
    EXPECT_EQ(LowerBound(track, 0), 0u);
    EXPECT_EQ(LowerBound(track, 200), 3u);
    EXPECT_EQ(LowerBound(track, 51), 1u);
}

TEST(EventList, RemoveByMaskKeepsUnmarkedInOrder)
{
    Track track = MakeTrack({ { 1, 0 }, { 2, 1 }, { 3, 2 }, { 4, 3 } });
    track.events[1].flags |= kEventSelected;
    track.events[3].flags |= kEventSelected;
    ASSERT_TRUE(RemoveByMask(track, kEventSelected));
    EXPECT_EQ(Contents(track),
        (std::vector<std::pair<std::uint32_t, std::uint32_t>> { { 1, 0 }, { 3, 2 } }));
}

TEST(EventList, InsertGapAddsZeroEvents)
{
    Track track = MakeTrack({ { 10, 1 }, { 20, 2 } });
    ASSERT_TRUE(InsertGap(track, 3, 10));
    ASSERT_EQ(track.count, 5u);
    for (std::uint32_t i = 2; i < 5; ++i) {
        EXPECT_EQ(track.events[i].flags, 0u);
        EXPECT_EQ(track.events[i].time, 0u);
    }
    ASSERT_TRUE(InsertGap(track, 1, 1));
    EXPECT_EQ(track.events[0].time, 10u);
    EXPECT_EQ(track.events[1].time, 0u);
    EXPECT_EQ(track.events[2].time, 20u);
    EXPECT_EQ(track.events[6].time, kSentinelTime);
}

TEST(EventList, HugeCountIsRefusedAsOutOfMemory)
{
    Track track = MakeTrack({ { 10, 1 } });
    EXPECT_FALSE(InsertGap(track, 0xFFFFFFFFu, 0));
    EXPECT_EQ(track.count, 1u);
    EXPECT_EQ(track.events[0].time, 10u);
}
