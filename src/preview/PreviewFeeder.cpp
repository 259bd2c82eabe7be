// SPDX-License-Identifier: MIT
#include "preview/PreviewFeeder.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <system_error>
#include <unistd.h>

namespace vellisto::preview {

namespace {

    // A real-time priority just above every ordinary thread, and below the
    // sound server's own threads, which must run for the frames to be heard.
    // Without the right to it, a raised nice value; without that, nothing.
    FeederPriority RaisePriority(int rank)
    {
        sched_param param {};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1 + rank;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0)
            return FeederPriority::kRealTime;
        const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
        if (::setpriority(PRIO_PROCESS, thread, -10) == 0)
            return FeederPriority::kNice;
        return FeederPriority::kNormal;
    }

} // namespace

PreviewFeeder::~PreviewFeeder() { stop(); }

bool PreviewFeeder::start(std::function<void()> step, std::chrono::milliseconds period, int rank)
{
    stop();
    m_step = std::move(step);
    m_period = period;
    m_rank = rank;
    m_quit.store(false);
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void PreviewFeeder::stop()
{
    if (!m_thread.joinable())
        return;
    m_quit.store(true);
    m_thread.join();
}

void PreviewFeeder::run()
{
    using Clock = std::chrono::steady_clock;
    m_priority.store(static_cast<std::uint32_t>(RaisePriority(m_rank)), std::memory_order_relaxed);
    Clock::time_point next = Clock::now();
    while (!m_quit.load(std::memory_order_acquire)) {
        const Clock::time_point begin = Clock::now();
        m_step();
        const Clock::time_point end = Clock::now();
        const auto took = static_cast<std::uint64_t>(std::chrono::nanoseconds(end - begin).count());
        if (took > m_longest.load(std::memory_order_relaxed))
            m_longest.store(took, std::memory_order_relaxed);
        m_steps.fetch_add(1, std::memory_order_relaxed);

        next += m_period;
        if (next < end)
            next = end; // late: go on at once, then keep the period from here
        std::this_thread::sleep_until(next);
    }
}

} // namespace vellisto::preview
