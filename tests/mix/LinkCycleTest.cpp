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

void Link(Project& project, std::uint32_t from, std::uint32_t to, std::uint32_t mode)
{
    SoundSlot& slot = project.sounds[from];
    test::SetName(slot.fileName, u"\\s.wav");
    slot.linkedId = to;
    slot.linkingMode = mode;
}

TEST(LinkCycle, ReportsTheSoundWhereACycleCloses)
{
    auto project = CreateProject();
    EXPECT_FALSE(FindLinkCycle(*project)); // every sound "Disabled"

    Link(*project, 5, 6, kAll);
    Link(*project, 6, 5, kAll);
    EXPECT_EQ(FindLinkCycle(*project), 5u);

    // A longer cycle entered from outside closes where the walk comes back.
    auto chain = CreateProject();
    Link(*chain, 1, 2, kPlay);
    Link(*chain, 2, 3, kAll);
    Link(*chain, 3, 2, kPlay);
    EXPECT_EQ(FindLinkCycle(*chain), 2u);

    // A sound linked to itself.
    auto self = CreateProject();
    Link(*self, 9, 9, kStop);
    EXPECT_EQ(FindLinkCycle(*self), 9u);
}

TEST(LinkCycle, FollowsOnlyLinksThatPassTheEventOn)
{
    // Play -> Stop is not followed, so the link back does not make a cycle.
    auto project = CreateProject();
    Link(*project, 5, 6, kPlay);
    Link(*project, 6, 5, kStop);
    EXPECT_FALSE(FindLinkCycle(*project));

    // "All events" narrows to "Play" and then no longer follows a "Stop" link.
    auto narrowed = CreateProject();
    Link(*narrowed, 1, 2, kAll);
    Link(*narrowed, 2, 3, kPlay);
    Link(*narrowed, 3, 1, kStop);
    EXPECT_FALSE(FindLinkCycle(*narrowed));

    // A "Disabled" sound ends the chain.
    auto disabled = CreateProject();
    Link(*disabled, 1, 2, kAll);
    Link(*disabled, 2, 1, kOff);
    EXPECT_FALSE(FindLinkCycle(*disabled));

    // So do an empty slot and an ID of 1024 or more.
    auto empty = CreateProject();
    Link(*empty, 1, 2, kAll);
    Link(*empty, 2, 1, kAll);
    empty->sounds[2].fileName = {};
    EXPECT_FALSE(FindLinkCycle(*empty));
    Link(*empty, 2, 1024, kAll);
    Link(*empty, 1, 0xFFFFFFFF, kAll);
    EXPECT_FALSE(FindLinkCycle(*empty));
}

} // namespace
