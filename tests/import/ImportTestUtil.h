// SPDX-License-Identifier: MIT
#pragma once

// Helpers shared by the importer tests: a project prepared as the
// "Compatibility and Format" choice leaves it, and a track's events as plain
// values that print readably when a comparison fails.

#include "import/ImportTables.h"
#include "model/Compatibility.h"
#include "model/Project.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vellisto::import::testing {

inline std::unique_ptr<Project> NewProject(
    Compatibility compatibility = Compatibility::kNormal, std::uint32_t rate = 44100)
{
    BuildImportTables();
    auto project = CreateProject();
    CompatibilityChoice choice;
    choice.compatibility = compatibility;
    choice.rateText = std::to_string(rate);
    ApplyCompatibilityChoice(*project, choice);
    return project;
}

// An event without its flags, which every imported event has as exactly 1.
struct Ev {
    std::uint32_t time;
    EventType type;
    std::uint32_t data1 = 0;
    std::uint32_t data2 = 0;
    std::uint32_t data3 = 0;

    bool operator==(const Ev&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Ev& e)
{
    return out << "{t " << e.time << ", type " << static_cast<int>(e.type) << ", " << e.data1
               << ", " << e.data2 << ", " << e.data3 << "}";
}

// The events of a track; also checks the flags and the sentinel.
inline std::vector<Ev> Events(const Track& track)
{
    std::vector<Ev> out;
    if (!track.events)
        return out;
    EXPECT_EQ(track.events[track.count].time, kSentinelTime);
    for (std::uint32_t i = 0; i < track.count; ++i) {
        const Event& e = track.events[i];
        EXPECT_EQ(e.flags, kEventExists) << "event " << i;
        out.push_back({ e.time, static_cast<EventType>(e.type), e.data1, e.data2, e.data3 });
    }
    return out;
}

inline std::uint32_t EventCount(const Project& project)
{
    std::uint32_t n = 0;
    for (const Track& track : project.tracks)
        n += track.count;
    return n;
}

inline bool IsSortedByTime(const Track& track)
{
    for (std::uint32_t i = 1; i < track.count; ++i) {
        if (track.events[i].time < track.events[i - 1].time)
            return false;
    }
    return true;
}

constexpr std::uint32_t kOne = 1u << 24; // pitch 1.0

} // namespace vellisto::import::testing
