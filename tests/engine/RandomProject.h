// SPDX-License-Identifier: MIT
#pragma once

// Random projects for the engine's property tests: sounds with random samples,
// loops, envelopes, stop and linking modes (link cycles included), tracks of
// random events of every type, and random settings, extremes included.

#include "EngineTestSupport.h"

#include <cstdint>
#include <random>

namespace vellisto::test {

struct RandomProjectShape {
    std::uint32_t maxTime = 1500; // events lie in 0..maxTime
    std::uint32_t maxSoundFrames = 200;
    bool longSounds = false; // some sounds loop, so voices live long
    std::uint32_t maxEventsPerTrack = 30;
    bool crowded = false; // many voices per track
};

TestProject RandomProject(std::mt19937& rng, const RandomProjectShape& shape = {});

} // namespace vellisto::test
