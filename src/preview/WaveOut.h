// SPDX-License-Identifier: MIT
#pragma once

// The wave-output device the preview plays through: a queue of PCM frames in
// one fixed format that the device plays in order. The desktop program
// implements it over the system's sound server; tests use a fake with a
// virtual clock.
//
// Threads: one thread at a time calls a device. The preview player hands it
// between the dialog's thread (while stopped) and the feeder thread (while
// playing) through its playing flag; a device needs no lock of its own. The
// calls made on the feeder thread while playing (freeBytes, write,
// framesPlayed) run in real time: they must not block, lock or allocate.

#include <cstddef>
#include <cstdint>

namespace vellisto::preview {

class WaveOut {
public:
    virtual ~WaveOut() = default;

    // Queues bytes (whole frames) after everything queued before; the device
    // keeps its own copy, so data may be reused at once. False, with nothing
    // queued, when the device has no room for all of them or has failed.
    virtual bool write(const std::uint8_t* data, std::size_t bytes) = 0;
    // Bytes that write would take now.
    virtual std::size_t freeBytes() = 0;
    // Frames played since the last reset; never more than were queued.
    virtual std::uint64_t framesPlayed() = 0;
    // Frames the device must hold before it starts to play (0: it plays
    // whatever it holds). The player keeps at least this much queued ahead.
    virtual std::uint32_t startFrames() const { return 0; }

    // Holds playback where it is, and goes on from there. restart is false
    // when the device has failed.
    virtual void pause() = 0;
    virtual bool restart() = 0;
    // Drops everything queued; framesPlayed counts from 0 again and the device
    // plays as soon as it is given frames. False when the device has failed.
    virtual bool reset() = 0;
    // Ends playback and releases the device; no call but the destructor follows.
    virtual void close() = 0;
};

} // namespace vellisto::preview
