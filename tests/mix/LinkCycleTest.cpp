// SPDX-License-Identifier: MIT
#include "mix/LinkCycle.h"

#include "mix/MixTestUtil.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::mix::FindLinkCycle;

namespace {

constexpr auto kAll = static_cast<std::uint32_t>(LinkingMode::kAllEvents);
constexpr auto kPlay = static_cast<std::uint32_t>(LinkingMode::kPlay);
constexpr auto kStop = static_cast<std::uint32_t>(LinkingMode::kStop);
constexpr auto kOff = static_cast<std::uint32_t>(LinkingMode::kDisabled);

struct Link {
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t mode;
};

// A project whose sounds (all with a file) carry the given links.
std::unique_ptr<Project> Linked(std::initializer_list<Link> links)
{
    auto project = CreateProject();
    for (const Link& link : links) {
        SoundSlot& slot = project->sounds[link.from];
        test::SetName(slot.fileName, u"\\s.wav");
        slot.linkedId = link.to;
        slot.linkingMode = link.mode;
    }
    return project;
}

TEST(LinkCycle, ReportsTheSoundWhereACycleCloses)
{
    EXPECT_FALSE(FindLinkCycle(*CreateProject())); // every sound "Disabled"
    EXPECT_EQ(FindLinkCycle(*Linked({ { 5, 6, kAll }, { 6, 5, kAll } })), 5u);
    // A cycle entered from outside closes where the walk comes back.
    EXPECT_EQ(FindLinkCycle(*Linked({ { 1, 2, kPlay }, { 2, 3, kAll }, { 3, 2, kPlay } })), 2u);
    EXPECT_EQ(FindLinkCycle(*Linked({ { 9, 9, kStop } })), 9u);
}

TEST(LinkCycle, FollowsOnlyLinksThatPassTheEventOn)
{
    // Play -> Stop is not followed, so the link back does not make a cycle.
    EXPECT_FALSE(FindLinkCycle(*Linked({ { 5, 6, kPlay }, { 6, 5, kStop } })));
    // "All events" narrows to "Play" and then no longer follows a "Stop" link.
    EXPECT_FALSE(FindLinkCycle(*Linked({ { 1, 2, kAll }, { 2, 3, kPlay }, { 3, 1, kStop } })));
    // A "Disabled" sound ends the chain.
    EXPECT_FALSE(FindLinkCycle(*Linked({ { 1, 2, kAll }, { 2, 1, kOff } })));
    // So do an empty slot and an ID of 1024 or more.
    auto empty = Linked({ { 1, 2, kAll }, { 2, 1, kAll } });
    empty->sounds[2].fileName = {};
    EXPECT_FALSE(FindLinkCycle(*empty));
    EXPECT_FALSE(FindLinkCycle(*Linked({ { 1, 1024, kAll }, { 2, 0xFFFFFFFF, kAll } })));
}

} // namespace
