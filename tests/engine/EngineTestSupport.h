// SPDX-License-Identifier: MIT
#pragma once

// Small builders for engine tests: a project in memory with hand-made 16-bit
// sounds (allocated with their guard zones) and events, rendered from frame 0.

#include "engine/Mixer.h"
#include "model/FixedPoint.h"
#include "model/Project.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vellisto::test {

class TestProject {
public:
    // A project whose output has the given channel count (16-bit, 44100 Hz).
    explicit TestProject(std::uint16_t channels = 1);

    Project& project() { return *m_project; }
    // The mix state the renders below advance, and the set-up they compute with.
    MixState& state() { return *m_state; }
    engine::RenderSetup& setup() { return m_setup; }
    ProjectSettings& settings() { return m_project->settings; }

    // Loads interleaved 16-bit samples into a sound in the output format, at
    // volume 1.0 and pitch 1.0, without a loop; the slot is returned for further settings.
    SoundSlot& sound(std::uint32_t id, const std::vector<std::int16_t>& samples);

    // Appends an event (exists flag set) after the events of the same time.
    TestProject& event(std::uint32_t track, std::uint32_t time, EventType type,
        std::uint32_t data1 = 0, std::uint32_t data2 = 0, std::uint32_t data3 = 0,
        std::uint32_t flags = kEventExists);
    TestProject& play(std::uint32_t track, std::uint32_t time, std::uint32_t id,
        std::uint32_t volume = 1024, std::uint32_t pitch = kPitchOne);
    TestProject& stop(
        std::uint32_t track, std::uint32_t time, std::uint32_t id, std::uint32_t pitch = 0);

    // PrepareMix, SeekMix(0) and one RenderMix of the given frames.
    std::vector<std::int16_t> render(std::uint32_t frames, bool honourMuteAndSolo = false);
    // One more RenderMix of the prepared mix.
    std::vector<std::int16_t> renderMore(std::uint32_t frames);

private:
    std::unique_ptr<Project> m_project;
    std::unique_ptr<MixState> m_state = std::make_unique<MixState>();
    engine::RenderSetup m_setup;
};

// The samples of one channel of an interleaved render.
std::vector<std::int16_t> Channel(
    const std::vector<std::int16_t>& frames, int channel, int channels);

} // namespace vellisto::test
