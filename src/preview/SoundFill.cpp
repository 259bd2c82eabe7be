// SPDX-License-Identifier: MIT
#include "preview/SoundFill.h"

#include <cstring>

namespace vellisto::preview {

namespace {

    void CopyFrames(const SoundFrames& sound, std::uint64_t from, std::uint64_t frames,
        std::uint8_t*& destination)
    {
        if (frames == 0)
            return;
        const std::size_t bytes = static_cast<std::size_t>(frames * sound.frameBytes);
        std::memcpy(destination, sound.samples + from * sound.frameBytes, bytes);
        destination += bytes;
    }

    void Silence(const SoundFrames& sound, std::uint64_t frames, std::uint8_t*& destination)
    {
        const std::size_t bytes = static_cast<std::size_t>(frames * sound.frameBytes);
        std::memset(destination, sound.silence, bytes);
        destination += bytes;
    }

} // namespace

bool LoopPlayable(const SoundFrames& sound)
{
    return sound.loopBegin < sound.loopEnd && sound.loopEnd <= sound.lengthFrames;
}

std::uint64_t FillSoundBuffer(const SoundFrames& sound, bool loop, std::uint64_t position,
    std::uint8_t* destination, std::uint32_t frames)
{
    // Positions are 64-bit so that silence past the end of a sound near 2^32
    // frames long cannot wrap around to its start.
    std::uint64_t p = position;
    std::uint64_t n = frames;
    const std::uint64_t length = sound.lengthFrames;
    const bool looping = loop && LoopPlayable(sound);
    // Each turn copies at least one frame (p < loopEnd), so a one-frame loop
    // ends too.
    while (looping && n > 0 && p <= length && p < sound.loopEnd && p + n >= sound.loopEnd) {
        const std::uint64_t part = sound.loopEnd - p;
        CopyFrames(sound, p, part, destination);
        n -= part;
        p = sound.loopBegin; // a full buffer leaves the position at the loop's start
    }
    if (n == 0)
        return p;
    if (p > length) {
        Silence(sound, n, destination);
    } else if (p + n <= length) {
        CopyFrames(sound, p, n, destination);
    } else {
        const std::uint64_t part = length - p;
        CopyFrames(sound, p, part, destination);
        Silence(sound, n - part, destination);
    }
    return p + n;
}

} // namespace vellisto::preview
