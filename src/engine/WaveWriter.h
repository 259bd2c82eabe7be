// SPDX-License-Identifier: MIT
#pragma once

// The offline mix: renders a whole prepared project block by block and
// streams it into a 16-bit PCM WAVE file (the 44-byte header, then the
// frames), publishing progress and honouring an abort request.
//
// Threads: WriteWaveFile runs on the mixing thread and is the only user of the
// mix state while it runs. It shares with the watching thread only the five
// words of the ProgressRecord (each field says who writes it), so that a
// reader that sees done == 1 also sees the result.

#include "engine/Mixer.h"
#include "model/Project.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vellisto::platform {
class File;
}

namespace vellisto::engine {

struct ProgressRecord {
    // Written by the watcher only: nonzero stops the writer before its next block.
    std::atomic<std::uint32_t> abort { 0 };
    // Written by the writer only, read by the watcher:
    std::atomic<std::uint32_t> done { 0 }; // 1 once the writer has finished (stored last)
    std::atomic<std::uint32_t> result { 0 }; // 1 when every frame was rendered and written
    std::atomic<std::uint32_t> current { 0 }; // frames written so far, before every block
    std::atomic<std::uint32_t> total { 0 }; // the mix length, once before the first block
};

// The mix length: the largest time (unsigned) among the last events of all
// tracks that have events, muted and unsoloed tracks included; 0 when there
// are none. The event at that time is never applied.
std::uint32_t MixLength(const Project& project);

// Whether the engine can render into this format: PCM, 16 bits, 1 or 2 channels.
bool IsRenderableFormat(const OutputFormat& format);

// What a mix of the project into the given format would write.
struct MixPlan {
    std::uint32_t frames = 0; // the mix length
    std::uint64_t dataBytes = 0; // frames x channels x 2
    bool formatRenderable = false; // see IsRenderableFormat
    bool fitsWaveFile = false; // the RIFF size, dataBytes + 36, fits in 32 bits

    bool ok() const { return formatRenderable && fitsWaveFile; }
};
MixPlan PlanMix(const Project& project, const OutputFormat& format);

// Where the bytes of a mix go: a file in practice.
class WaveSink {
public:
    virtual ~WaveSink() = default;
    // Appends bytes at the end; false on any error.
    virtual bool append(std::span<const std::uint8_t> bytes) = 0;
    // Overwrites the first bytes and cuts the output to totalBytes.
    virtual bool rewriteStart(std::span<const std::uint8_t> bytes, std::uint64_t totalBytes) = 0;
};

// Renders the project, whose mix has been prepared and sought to frame 0, into
// the sink. The plan is checked against the mix's own copy of the output
// format: a format the engine cannot render, or a mix too long for the 32-bit
// sizes of a WAVE file, is refused before anything is written. When the mix
// stops after the header (an abort, a write error such as a full disk), both
// sizes are rewritten to the frames actually written, so that what is left is
// a valid, shorter file. Never throws; ends with result, then done = 1.
bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    WaveSink& sink, ProgressRecord& progress);

// The same into a file that the caller has opened for writing, empty and at
// its start (for instance the temporary file of an AtomicFileWriter). The
// caller closes or commits it.
bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    platform::File& file, ProgressRecord& progress);

// The same into a file created (or truncated) at nativePath and closed before
// done is set. A refused plan leaves an existing file untouched.
bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    const std::string& nativePath, ProgressRecord& progress);

} // namespace vellisto::engine
