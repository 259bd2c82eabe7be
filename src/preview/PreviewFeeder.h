// SPDX-License-Identifier: MIT
#pragma once

// The feeder: a thread that runs one step of the preview every 10 ms (or
// another period) on the steady clock, at a raised priority where the system permits it, so that
// filling keeps ahead of playback while the user interface is busy. A step
// that overruns its period is followed by the next one at once, and the
// schedule starts afresh from there instead of catching up with a burst.
//
// Threads: start and stop are called on the dialog's thread; the step runs
// on the feeder thread only. The figures below are atomics, readable at any
// time.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

namespace vellisto::preview {

// The scheduling the feeder thread obtained.
enum class FeederPriority : std::uint32_t {
    kNormal, // the system refused anything higher
    kNice, // a raised share of the ordinary scheduler
    kRealTime, // a fixed real-time priority
};

class PreviewFeeder {
public:
    static constexpr std::chrono::milliseconds kPeriod { 10 };

    PreviewFeeder() = default;
    ~PreviewFeeder(); // stops
    PreviewFeeder(const PreviewFeeder&) = delete;
    PreviewFeeder& operator=(const PreviewFeeder&) = delete;

    // Starts calling step every period; false when no thread can be had.
    // step must not allocate, lock or block: it runs in real time. A higher
    // rank asks for a real-time priority that many levels higher, for a
    // thread that must run even while a feeder of lower rank is busy.
    bool start(
        std::function<void()> step, std::chrono::milliseconds period = kPeriod, int rank = 0);
    // Returns once the thread has ended; no step runs afterwards.
    void stop();
    bool running() const { return m_thread.joinable(); }

    // Measurements: steps run, and the longest a step took, in nanoseconds.
    std::uint64_t steps() const { return m_steps.load(std::memory_order_relaxed); }
    std::uint64_t longestStepNanoseconds() const
    {
        return m_longest.load(std::memory_order_relaxed);
    }
    FeederPriority priority() const
    {
        return static_cast<FeederPriority>(m_priority.load(std::memory_order_relaxed));
    }

private:
    void run();

    std::function<void()> m_step;
    std::chrono::milliseconds m_period = kPeriod;
    int m_rank = 0;
    std::thread m_thread;
    std::atomic<bool> m_quit { false };
    std::atomic<std::uint64_t> m_steps { 0 };
    std::atomic<std::uint64_t> m_longest { 0 };
    std::atomic<std::uint32_t> m_priority { 0 };
};

} // namespace vellisto::preview
