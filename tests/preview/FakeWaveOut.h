// SPDX-License-Identifier: MIT
#pragma once

// A wave-output device for tests: it keeps every byte it is given and plays
// by a virtual clock that the test moves on. It also checks the hand-over
// rule: no control call may come while a write is in progress.

#include "preview/WaveOut.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace vellisto::test {

class FakeWaveOut final : public preview::WaveOut {
public:
    explicit FakeWaveOut(std::size_t frameBytes, std::size_t reserveBytes = 1 << 22)
        : m_frameBytes(frameBytes)
    {
        received.reserve(reserveBytes);
        sinceReset.reserve(reserveBytes);
    }

    // The virtual clock: plays up to `frames` more of what is queued, unless paused.
    void advance(std::uint64_t frames)
    {
        if (!paused)
            played = std::min(played + frames, queuedFrames());
    }
    std::uint64_t queuedFrames() const { return sinceReset.size() / m_frameBytes; }

    bool write(const std::uint8_t* data, std::size_t bytes) override
    {
        inWrite.fetch_add(1);
        bool taken = false;
        if (!failing && bytes <= freeBytesNow()) {
            received.insert(received.end(), data, data + bytes);
            sinceReset.insert(sinceReset.end(), data, data + bytes);
            writes += 1;
            taken = true;
        }
        if (duringWrite)
            duringWrite();
        inWrite.fetch_sub(1);
        return taken;
    }
    std::size_t freeBytes() override { return freeBytesNow(); }
    std::uint64_t framesPlayed() override { return played; }
    std::uint32_t startFrames() const override { return start; }
    void pause() override
    {
        checkNoWrite();
        paused = true;
        pauses += 1;
    }
    bool restart() override
    {
        checkNoWrite();
        paused = false;
        restarts += 1;
        return !failing;
    }
    bool reset() override
    {
        checkNoWrite();
        sinceReset.clear();
        played = 0;
        resets += 1;
        return !failing;
    }
    void close() override { closed = true; }

    // Settings.
    std::size_t capacityBytes = static_cast<std::size_t>(-1); // most the queue holds unplayed
    std::uint32_t start = 0;
    bool failing = false;
    std::function<void()> duringWrite; // runs inside write, on the writing thread

    // Record.
    std::vector<std::uint8_t> received; // every byte taken, resets or not
    std::vector<std::uint8_t> sinceReset; // the bytes taken since the last reset
    std::uint64_t played = 0;
    bool paused = false;
    bool closed = false;
    std::atomic<int> writes { 0 }; // read while a feeder thread writes
    int pauses = 0, restarts = 0, resets = 0;
    std::atomic<int> inWrite { 0 };
    std::atomic<int> callsDuringWrite { 0 };

private:
    std::size_t freeBytesNow() const
    {
        const std::size_t unplayed = sinceReset.size() - played * m_frameBytes;
        return capacityBytes > unplayed ? capacityBytes - unplayed : 0;
    }
    void checkNoWrite()
    {
        if (inWrite.load() != 0)
            callsDuringWrite.fetch_add(1);
    }

    std::size_t m_frameBytes;
};

// 16-bit samples out of bytes as the device received them.
inline std::vector<std::int16_t> Samples16(const std::vector<std::uint8_t>& bytes,
    std::size_t fromByte = 0, std::size_t count = static_cast<std::size_t>(-1))
{
    const std::size_t available = fromByte < bytes.size() ? (bytes.size() - fromByte) / 2 : 0;
    std::vector<std::int16_t> samples(std::min(count, available));
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data() + fromByte, samples.size() * 2);
    return samples;
}

} // namespace vellisto::test
