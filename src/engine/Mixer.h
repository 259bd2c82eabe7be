// SPDX-License-Identifier: MIT
#pragma once

// The mixing engine: turns a project's tracks of timed events into 16-bit PCM
// frames in the project's output format, with integer fixed-point arithmetic
// that is exact and repeatable bit for bit.
//
// Every driver holds a MixState for the project it mixes and a RenderSetup
// of its own choosing, and runs PrepareMix, then SeekMix (to 0 at the start
// of a mix), then RenderMix as often as needed, with SeekMix again at any time
// between renders. The project's records are only read. The project's sounds must already be
// converted to the output format (16-bit samples in the output channel layout, with their zero
// guard zones) and must stay loaded and unchanged until the mix is over.
//
// Threads: the engine has no locks; one thread at a time drives a project's
// mix. RenderMix and SeekMix never allocate, lock, do I/O or throw. The sinc
// tables (audio::BuildSincTables) must be built before the first render.

#include "audio/Acceleration.h"
#include "engine/MixState.h"
#include "model/Project.h"

#include <cstdint>

namespace vellisto::engine {

// A top-level event may set off at most this many linked events, and links
// nest at most this deep. An acyclic chain of links never comes near either
// bound (it visits each of the 1024 sounds at most once); they keep a project
// with circular links, or with fan-out through many voices, from running away.
inline constexpr std::uint32_t kMaxLinkDepth = 1024;
inline constexpr std::uint32_t kMaxLinkedEvents = 16384;

class RenderPool;

// How the blocks of a mix are computed; no choice here changes a single
// output bit. Owned by the driver, which keeps any pool it names alive for
// every render it passes the set-up to.
struct RenderSetup {
    audio::KernelPath kernelPath = audio::KernelPath::kFast;
    audio::VectorIsa vectorIsa = audio::VectorIsa::kPortable;
    RenderPool* pool = nullptr; // not owned; null renders on the calling thread
};

// The process-wide choices (audio/Acceleration.h) for a mix of these
// settings, without a pool. The fast sinc loops' weight tables are built here
// on first use; without them the reference loops are chosen.
RenderSetup ChooseRenderSetup(const ProjectSettings& settings);

// Clears state, copies the settings, allocates the
// accumulator and sets up the 64 track states. With honourMuteAndSolo, a
// track sounds only if it has the solo flag (when any track has it) or does
// not have the muted flag (when none has). False when out of memory.
bool PrepareMix(const Project& project, MixState& state, bool honourMuteAndSolo);

// Moves the mix to frame target without producing output; the state is then
// exactly the one that rendering up to target gives. Always true.
bool SeekMix(const Project& project, MixState& state, std::uint32_t target);

// Renders the next `frames` frames into destination (frames x channels values,
// interleaved left, right) and advances the mix position. False, with the
// destination untouched, when the mix position would pass 0xFFFFFFFE, when the
// output has neither 1 nor 2 channels, or when the mix was not prepared. A
// mixing interpolation above 3 renders silence.
bool RenderMix(const Project& project, MixState& state, const RenderSetup& setup,
    std::int16_t* destination, std::uint32_t frames);

// The effect of one event on a track. Events of types above 6 are ignored;
// the caller checks the exists flag.
void ApplyEvent(const Project& project, MixState& state, TrackMixState& track, const Event& event);

// Moves the active voices down into slots 0..activeVoices-1, keeping their
// order, and sets the slot count to the number of active voices.
void CompactVoices(TrackMixState& track);

} // namespace vellisto::engine
