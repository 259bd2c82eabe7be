// SPDX-License-Identifier: MIT
#include "mix/LinkCycle.h"

#include <array>

namespace vellisto::mix {

namespace {

    constexpr std::uint32_t kDisabled = static_cast<std::uint32_t>(LinkingMode::kDisabled);
    constexpr std::uint32_t kAllEvents = static_cast<std::uint32_t>(LinkingMode::kAllEvents);
    constexpr std::uint32_t kPlayOnly = static_cast<std::uint32_t>(LinkingMode::kPlay);
    constexpr std::uint32_t kStopOnly = static_cast<std::uint32_t>(LinkingMode::kStop);

    // The mode carried on when a link reaches a sound of mode `next`, or
    // nullopt when the event kind does not travel on.
    std::optional<std::uint32_t> FollowedMode(std::uint32_t mode, std::uint32_t next)
    {
        if (next == mode || next == kAllEvents)
            return mode;
        if (mode == kAllEvents && (next == kPlayOnly || next == kStopOnly))
            return next;
        return std::nullopt;
    }

} // namespace

std::optional<std::uint32_t> FindLinkCycle(const Project& project)
{
    // mark[i] is the mode with which the walk reached sound i; 0 = not reached.
    std::array<std::uint32_t, kSoundCount> mark {};
    for (std::uint32_t start = 0; start < kSoundCount; ++start) {
        mark.fill(0);
        std::uint32_t mode = project.sounds[start].linkingMode;
        mark[start] = mode;
        if (mode == kDisabled)
            continue;
        // Every step marks a new sound, so a walk ends within 1024 steps.
        std::uint32_t cur = start;
        for (;;) {
            const std::uint32_t next = project.sounds[cur].linkedId;
            const SoundSlot* target = project.findSound(next);
            if (target == nullptr || target->empty())
                break;
            const auto followed = FollowedMode(mode, target->linkingMode);
            if (!followed)
                break;
            if (mark[next] != 0)
                return next;
            mode = *followed;
            mark[next] = mode;
            cur = next;
        }
    }
    return std::nullopt;
}

} // namespace vellisto::mix
